#pragma once

#include "recipients/TaggedValueFormat.h"

#include <QByteArrayView>
#include <QString>

#include <array>

class QIODevice;

namespace pelicast {

// Writes tagged values to a device. Output is gathered in a buffer of DatabaseBufferSize
// bytes and handed to the device whenever the buffer is full and once at flush(). A device
// that takes less than it is given raises "Stream write error".
class TaggedValueWriter
{
public:
    explicit TaggedValueWriter(QIODevice &device) : m_device(device) {}
    TaggedValueWriter(const TaggedValueWriter &) = delete;
    TaggedValueWriter &operator=(const TaggedValueWriter &) = delete;

    void writeRaw(QByteArrayView bytes);
    void writeListStart() { put(quint8(ValueTag::ListStart)); }
    void writeListEnd() { put(quint8(ValueTag::ListEnd)); }
    // The smallest of the 8-, 16- and 32-bit integer tags that holds the value.
    void writeInteger(qint32 value);
    void writeBoolean(bool value) { put(quint8(value ? ValueTag::True : ValueTag::False)); }
    void writeReal(double value);
    // Pure 7-bit text as a short (up to 255 bytes) or long string; anything else as a
    // UTF-8 string.
    void writeText(const QString &text);
    void writeTextUtf8(QByteArrayView utf8);

    // Hands what is buffered to the device. Call it once at the end: the destructor does
    // not, so that a failure can still be reported.
    void flush();

private:
    void put(quint8 byte)
    {
        if (m_used == DatabaseBufferSize)
            flush();
        m_buffer[size_t(m_used++)] = char(byte);
    }
    void putLength32(quint32 length);

    QIODevice &m_device;
    qsizetype m_used = 0;
    std::array<char, DatabaseBufferSize> m_buffer;
};

} // namespace pelicast
