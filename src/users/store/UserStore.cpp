#include "users/store/UserStore.h"

#include "data/Database.h"
#include "users/store/PasswordHash.h"

int UserStore::activeAccountCount() const {
    return Query(m_db, QStringLiteral("SELECT COUNT(*) FROM Sec_Usr WHERE (Sec_Usr.Active = 1)")).scalar().toInt();
}

bool UserStore::verifyLogin(const QString& userName, const QString& password) const {
    Query q(m_db, QStringLiteral("SELECT ClientServer FROM Sec_Usr WHERE (UserName = ?) AND (Sec_Usr.Active = 1)"));
    q.exec({userName});
    while (q.next())
        if (PasswordHash::verify(q.text(0), password))
            return true;
    return false;
}

bool UserStore::hasActiveAccount(const QString& userName) const {
    Query q(m_db, QStringLiteral("SELECT 1 FROM Sec_Usr WHERE (UserName = ?) AND (Sec_Usr.Active = 1)"));
    return q.scalar({userName}).isValid();
}

bool UserStore::addUser(const NewUser& user) {
    // Hash before taking the write lock: it is the slow part.
    const QString hashed = PasswordHash::hash(user.password);
    return m_db.transaction([&] {
        if (hasActiveAccount(user.userName))
            return false;
        Query(m_db, QStringLiteral("INSERT INTO Sec_Usr (UserName, ClientServer, FirstName, MiddleName, LastName, "
                                   "EmailAddress) VALUES (?, ?, ?, ?, ?, ?)"))
            .exec({user.userName, hashed, user.firstName, user.middleName, user.lastName, user.emailAddress});
        return true;
    });
}
