#pragma once

#include <QString>
#include <QtGlobal>

namespace pelicast {

// The one-byte tags of the database file's tagged values. Every multi-byte number that
// follows a tag is little-endian.
enum class ValueTag : quint8 {
    ListEnd = 0x00,
    ListStart = 0x01,
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    Extended = 0x05,   // x87 80-bit extended real, 10 bytes
    String = 0x06,     // 1-byte length, then the bytes
    False = 0x08,
    True = 0x09,
    LString = 0x0C,    // 4-byte length, then the bytes
    WString = 0x12,    // 4-byte count of UTF-16 code units, then UTF-16LE (read only)
    Int64 = 0x13,      // read only, where a real is expected
    Utf8String = 0x14, // 4-byte length in bytes, then UTF-8
};

// Output is handed to the file in buffers of this size, input fetched in blocks of it.
inline constexpr qsizetype DatabaseBufferSize = 16384;

inline QString streamReadErrorText() { return QStringLiteral("Stream read error"); }
inline QString streamWriteErrorText() { return QStringLiteral("Stream write error"); }
inline QString invalidPropertyValueText() { return QStringLiteral("Invalid property value"); }
inline QString invalidStreamFormatText() { return QStringLiteral("Invalid stream format"); }

} // namespace pelicast
