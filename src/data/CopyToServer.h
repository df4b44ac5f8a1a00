#pragma once

#include "data/Database.h"

#include <functional>

struct CopiedTable {
    QString table;
    qint64 rows;
    // Text values that held NUL characters, which a server's text cannot: copied without them.
    qint64 valuesWithNul;
};

// Moves an inventory kept in the two files onto a PostgreSQL server: every row of every table, keys kept, in one
// transaction on the server while the files are held against other writers. The server's database must hold no
// data yet (a first start's states and caption rows are replaced). Holding rows become the copying workstation's.
// Throws DataError, naming the table and row that could not be written; the server is then left as it was.
void copyToServer(Database& files, Database& server, const std::function<void(const CopiedTable&)>& copied = {});
