#pragma once

class Database;

// True when at least one location is active.
bool HasActiveLocations(const Database& db);
