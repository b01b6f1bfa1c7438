#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>

struct UCollator;

namespace pelicast {

// The order of addresses in a list that presents them in address order: the collation of
// the user's default locale, case-sensitive, ties broken by code-point order so that order
// agrees with equality (which is exact string equality). Under the C/POSIX locale it is
// plain code-point order.
//
// The order is expressed as a byte string per address, the sort prefix: comparing
// prefix + UTF-8 text bytewise gives the order. For code-point order the prefix is empty
// (UTF-8 byte order is code-point order); otherwise it is ICU's sort key with its
// terminating zero, which no other key byte equals, so the UTF-8 text only decides ties.
class AddressCollation
{
public:
    // localeName: "" / "C" / "POSIX" / "C.UTF-8" give code-point order; anything else is
    // an ICU locale such as "en_US" (an encoding suffix like ".UTF-8" is ignored).
    explicit AddressCollation(const QByteArray &localeName);
    ~AddressCollation();
    AddressCollation(const AddressCollation &) = delete;
    AddressCollation &operator=(const AddressCollation &) = delete;

    // The collation of the user's default locale (LC_ALL, else LC_COLLATE, else LANG).
    static const AddressCollation &userDefault();

    bool isCodePointOrder() const { return m_collator == nullptr; }
    QByteArray localeName() const { return m_localeName; }
    QByteArray sortPrefix(const QString &text) const;
    // The same, written into storage (no heap allocation for an address-sized text).
    using PrefixStorage = QVarLengthArray<char, 512>;
    QByteArrayView sortPrefix(QStringView text, PrefixStorage &storage) const;

private:
    UCollator *m_collator = nullptr;
    QByteArray m_localeName;
};

} // namespace pelicast
