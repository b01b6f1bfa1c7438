#pragma once

#include "recipients/TaggedValueFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

class QIODevice;

namespace pelicast {

// Reads tagged values from a device, fetching it in blocks of DatabaseBufferSize bytes.
// Errors: "Stream read error" where the input ends while a byte is still expected (and at
// once when a length claims more bytes than the device has left, so that no claimed length
// is ever allocated), "Invalid property value" for a tag that does not fit the value asked
// for.
class TaggedValueReader
{
public:
    // The bytes of a text value as the file holds them.
    enum class TextForm {
        Bytes, // short or long string: 8-bit bytes of no declared encoding
        Utf8,  // UTF-8 string
        Utf16, // wide string: UTF-16LE code units
    };
    struct RawText
    {
        TextForm form;
        QByteArrayView bytes; // valid until the next read
    };

    explicit TaggedValueReader(QIODevice &device);
    TaggedValueReader(const TaggedValueReader &) = delete;
    TaggedValueReader &operator=(const TaggedValueReader &) = delete;

    quint8 peekByte();
    quint8 readByte();
    // The next count bytes; valid until the next read.
    QByteArrayView readBytes(qint64 count);
    void skipBytes(qint64 count);

    // A list has ended when the next byte is a list end; the byte is not consumed.
    bool atListEnd() { return peekByte() == quint8(ValueTag::ListEnd); }
    void readListStart() { expect(ValueTag::ListStart); }
    void readListEnd() { expect(ValueTag::ListEnd); }
    qint32 readInteger();
    // True only for the true tag; any other byte reads as false and is consumed.
    bool readBoolean() { return readByte() == quint8(ValueTag::True); }
    // An extended real, or any integer tag (64-bit included) converted.
    double readReal();
    RawText readRawText();
    void skipText();
    // Short and long strings are UTF-8 when they are valid UTF-8 and Latin-1 otherwise.
    QString readText();
    static QString decodeText(const RawText &text);

private:
    void expect(ValueTag tag);
    // Makes at least count (<= DatabaseBufferSize) bytes available in the buffer.
    void fill(qsizetype count);
    qsizetype buffered() const { return m_end - m_pos; }
    void checkRemaining(qint64 count) const;
    quint32 readLength32();

    QIODevice &m_device;
    std::vector<char> m_buffer; // room for a partial item plus one block
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    QByteArray m_large; // items longer than a block
};

} // namespace pelicast
