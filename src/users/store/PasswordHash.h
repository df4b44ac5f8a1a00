#pragma once

#include <QString>

// Salted Argon2id hashes of account passwords.
namespace PasswordHash {
QString hash(const QString& password);
bool verify(const QString& storedHash, const QString& password);
} // namespace PasswordHash
