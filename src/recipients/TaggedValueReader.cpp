#include "recipients/TaggedValueReader.h"

#include "common/Error.h"
#include "recipients/ExtendedReal.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace pelicast {

TaggedValueReader::TaggedValueReader(QIODevice &device)
    : m_device(device), m_buffer(size_t(2 * DatabaseBufferSize))
{
}

quint8 TaggedValueReader::peekByte()
{
    if (m_pos == m_end)
        fill(1);
    return quint8(m_buffer[size_t(m_pos)]);
}

quint8 TaggedValueReader::readByte()
{
    const quint8 byte = peekByte();
    ++m_pos;
    return byte;
}

QByteArrayView TaggedValueReader::readBytes(qint64 count)
{
    if (count <= DatabaseBufferSize) {
        if (buffered() < count)
            fill(qsizetype(count));
        const QByteArrayView view(m_buffer.data() + m_pos, qsizetype(count));
        m_pos += qsizetype(count);
        return view;
    }
    checkRemaining(count);
    // Grows only with bytes actually read, never ahead of them.
    m_large.clear();
    if (!m_device.isSequential())
        m_large.reserve(qsizetype(count));
    while (m_large.size() < count) {
        if (m_pos == m_end)
            fill(1);
        const qsizetype n = qsizetype(std::min<qint64>(buffered(), count - m_large.size()));
        m_large.append(m_buffer.data() + m_pos, n);
        m_pos += n;
    }
    return m_large;
}

void TaggedValueReader::skipBytes(qint64 count)
{
    checkRemaining(count);
    while (count > 0) {
        if (m_pos == m_end)
            fill(1);
        const qsizetype n = qsizetype(std::min<qint64>(buffered(), count));
        m_pos += n;
        count -= n;
    }
}

qint32 TaggedValueReader::readInteger()
{
    switch (ValueTag(readByte())) {
    case ValueTag::Int8:
        return qint8(readByte());
    case ValueTag::Int16:
        return qFromLittleEndian<qint16>(readBytes(2).data());
    case ValueTag::Int32:
        return qFromLittleEndian<qint32>(readBytes(4).data());
    default:
        throw Error(invalidPropertyValueText());
    }
}

double TaggedValueReader::readReal()
{
    switch (ValueTag(peekByte())) {
    case ValueTag::Extended:
        ++m_pos;
        return fromExtendedReal(reinterpret_cast<const quint8 *>(readBytes(10).data()));
    case ValueTag::Int64:
        ++m_pos;
        return double(qFromLittleEndian<qint64>(readBytes(8).data()));
    default:
        return readInteger();
    }
}

TaggedValueReader::RawText TaggedValueReader::readRawText()
{
    switch (ValueTag(readByte())) {
    case ValueTag::String: {
        const quint8 length = readByte();
        return {TextForm::Bytes, readBytes(length)};
    }
    case ValueTag::LString: {
        const quint32 length = readLength32();
        return {TextForm::Bytes, readBytes(length)};
    }
    case ValueTag::Utf8String: {
        const quint32 length = readLength32();
        return {TextForm::Utf8, readBytes(length)};
    }
    case ValueTag::WString: {
        const quint32 units = readLength32();
        return {TextForm::Utf16, readBytes(2 * qint64(units))};
    }
    default:
        throw Error(invalidPropertyValueText());
    }
}

void TaggedValueReader::skipText()
{
    switch (ValueTag(readByte())) {
    case ValueTag::String:
        skipBytes(readByte());
        return;
    case ValueTag::LString:
    case ValueTag::Utf8String:
        skipBytes(readLength32());
        return;
    case ValueTag::WString:
        skipBytes(2 * qint64(readLength32()));
        return;
    default:
        throw Error(invalidPropertyValueText());
    }
}

QString TaggedValueReader::readText()
{
    return decodeText(readRawText());
}

QString TaggedValueReader::decodeText(const RawText &text)
{
    switch (text.form) {
    case TextForm::Bytes:
        return text.bytes.isValidUtf8() ? QString::fromUtf8(text.bytes)
                                        : QString::fromLatin1(text.bytes);
    case TextForm::Utf8:
        return QString::fromUtf8(text.bytes);
    case TextForm::Utf16: {
        QString out(text.bytes.size() / 2, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(text.bytes.data(), out.size(),
                                    reinterpret_cast<char16_t *>(out.data()));
        // A lone surrogate would turn into "?" on its way to UTF-8; make it the
        // replacement character, as invalid UTF-8 becomes.
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
                ++i;
            else if (out[i].isSurrogate())
                out[i] = QChar::ReplacementCharacter;
        }
        return out;
    }
    }
    return {};
}

void TaggedValueReader::expect(ValueTag tag)
{
    if (readByte() != quint8(tag))
        throw Error(invalidPropertyValueText());
}

void TaggedValueReader::fill(qsizetype count)
{
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, size_t(buffered()));
        m_end -= m_pos;
        m_pos = 0;
    }
    while (m_end < count) {
        const qint64 got = m_device.read(m_buffer.data() + m_end, DatabaseBufferSize);
        if (got <= 0)
            throw Error(streamReadErrorText());
        m_end += qsizetype(got);
    }
}

void TaggedValueReader::checkRemaining(qint64 count) const
{
    if (count <= buffered() || m_device.isSequential())
        return;
    if (count - buffered() > m_device.size() - m_device.pos())
        throw Error(streamReadErrorText());
}

quint32 TaggedValueReader::readLength32()
{
    return qFromLittleEndian<quint32>(readBytes(4).data());
}

} // namespace pelicast
