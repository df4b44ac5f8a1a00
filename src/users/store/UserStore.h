#pragma once

#include <QString>

class Database;

struct NewUser {
    QString userName;
    QString password;
    QString firstName;
    QString middleName;
    QString lastName;
    QString emailAddress;
};

// The accounts that may log in.
class UserStore {
public:
    explicit UserStore(Database& db) : m_db(db) {}

    int activeAccountCount() const;
    // True when an active account with this name has this password. Names compare without regard to case.
    bool verifyLogin(const QString& userName, const QString& password) const;
    bool hasActiveAccount(const QString& userName) const;
    // Adds the account with its password hashed. Returns false, adding nothing, when the name is already active.
    bool addUser(const NewUser& user);

private:
    Database& m_db;
};
