#include "users/store/PasswordHash.h"

#include "data/DataError.h"

#include <sodium.h>

namespace {
void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw DataError(QStringLiteral("The password library could not be initialised."));
}
} // namespace

namespace PasswordHash {

QString hash(const QString& password) {
    ensureSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw DataError(QStringLiteral("Out of memory while protecting the password."));
    return QString::fromLatin1(out);
}

bool verify(const QString& storedHash, const QString& password) {
    ensureSodium();
    const QByteArray stored = storedHash.toLatin1();
    if (stored.isEmpty() || stored.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(stored.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

} // namespace PasswordHash
