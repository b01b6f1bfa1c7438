#include "recipients/AddressCollation.h"

#include <unicode/ucol.h>

#include <cstdlib>

namespace pelicast {

namespace {

bool isPosixLocale(const QByteArray &name)
{
    const QByteArray base = name.left(name.indexOf('.'));
    return base.isEmpty() || base == "C" || base == "POSIX";
}

QByteArray environmentCollationLocale()
{
    for (const char *var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char *value = std::getenv(var);
        if (value && *value)
            return QByteArray(value);
    }
    return QByteArray();
}

} // namespace

AddressCollation::AddressCollation(const QByteArray &localeName)
{
    if (isPosixLocale(localeName))
        return;
    QByteArray base = localeName;
    base = base.left(base.indexOf('.')); // "en_US.UTF-8" -> "en_US"
    base = base.left(base.indexOf('@'));
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(base.constData(), &status);
    if (U_FAILURE(status)) {
        m_collator = nullptr; // an unknown locale: fall back to code-point order
        return;
    }
    m_localeName = base;
}

AddressCollation::~AddressCollation()
{
    if (m_collator)
        ucol_close(m_collator);
}

const AddressCollation &AddressCollation::userDefault()
{
    static const AddressCollation collation(environmentCollationLocale());
    return collation;
}

QByteArray AddressCollation::sortPrefix(const QString &text) const
{
    PrefixStorage storage;
    return sortPrefix(QStringView(text), storage).toByteArray();
}

QByteArrayView AddressCollation::sortPrefix(QStringView text, PrefixStorage &storage) const
{
    if (!m_collator)
        return {};
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    storage.resize(storage.capacity());
    auto *bytes = reinterpret_cast<uint8_t *>(storage.data());
    const int32_t needed =
        ucol_getSortKey(m_collator, chars, length, bytes, static_cast<int32_t>(storage.size()));
    if (needed > storage.size()) {
        storage.resize(needed);
        ucol_getSortKey(m_collator, chars, length, reinterpret_cast<uint8_t *>(storage.data()),
                        needed);
    }
    return QByteArrayView(storage.constData(), needed);
}

} // namespace pelicast
