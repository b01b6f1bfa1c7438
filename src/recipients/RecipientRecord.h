#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace pelicast {

// One record of a recipient list, in one allocation: a small header followed by the
// address's sort prefix (see AddressCollation) and its UTF-8 text. Lists hold a million of
// these, so the layout is kept tight.
struct RecipientRecord
{
    quint32 block;   // id of the RecordSequence block that holds the record
    quint32 hash;    // of the UTF-8 text, for the equality index
    quint16 prefixLength;
    quint16 textLength;
    quint8 status;   // ChangeStatus: 0 unchanged, 1 changed, 2 added, 3 removed

    const char *bytes() const { return reinterpret_cast<const char *>(this + 1); }
    QByteArrayView text() const { return {bytes() + prefixLength, qsizetype(textLength)}; }
    // The byte string whose order is the address order.
    QByteArrayView orderKey() const { return {bytes(), qsizetype(prefixLength) + textLength}; }

    static RecipientRecord *create(QByteArrayView prefix, QByteArrayView text, quint32 hash,
                                   quint8 status);
    static void destroy(RecipientRecord *record);
};

quint32 hashAddressText(QByteArrayView utf8);

} // namespace pelicast
