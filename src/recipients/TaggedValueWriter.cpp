#include "recipients/TaggedValueWriter.h"

#include "common/Error.h"
#include "recipients/ExtendedReal.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace pelicast {

namespace {

bool isSevenBit(QByteArrayView bytes)
{
    quint8 any = 0;
    for (char c : bytes)
        any |= quint8(c);
    return any < 0x80;
}

} // namespace

void TaggedValueWriter::writeRaw(QByteArrayView bytes)
{
    const char *from = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        if (m_used == DatabaseBufferSize)
            flush();
        const qsizetype n = std::min(left, DatabaseBufferSize - m_used);
        std::memcpy(m_buffer.data() + m_used, from, size_t(n));
        m_used += n;
        from += n;
        left -= n;
    }
}

void TaggedValueWriter::writeInteger(qint32 value)
{
    if (value >= -128 && value <= 127) {
        put(quint8(ValueTag::Int8));
        put(quint8(value));
    } else if (value >= -32768 && value <= 32767) {
        put(quint8(ValueTag::Int16));
        put(quint8(value));
        put(quint8(value >> 8));
    } else {
        put(quint8(ValueTag::Int32));
        putLength32(quint32(value));
    }
}

void TaggedValueWriter::writeReal(double value)
{
    const ExtendedRealBytes bytes = toExtendedReal(value);
    put(quint8(ValueTag::Extended));
    writeRaw(QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
}

void TaggedValueWriter::writeText(const QString &text)
{
    writeTextUtf8(text.toUtf8());
}

void TaggedValueWriter::writeTextUtf8(QByteArrayView utf8)
{
    if (!isSevenBit(utf8)) {
        put(quint8(ValueTag::Utf8String));
        putLength32(quint32(utf8.size()));
    } else if (utf8.size() <= 255) {
        put(quint8(ValueTag::String));
        put(quint8(utf8.size()));
    } else {
        put(quint8(ValueTag::LString));
        putLength32(quint32(utf8.size()));
    }
    writeRaw(utf8);
}

void TaggedValueWriter::flush()
{
    if (m_used == 0)
        return;
    const qsizetype size = m_used;
    m_used = 0;
    if (m_device.write(m_buffer.data(), size) != size)
        throw Error(streamWriteErrorText());
}

void TaggedValueWriter::putLength32(quint32 length)
{
    for (int i = 0; i < 4; ++i)
        put(quint8(length >> (8 * i)));
}

} // namespace pelicast
