#pragma once

#include <QByteArray>

namespace pelicast {

// The bytes that follow DATA: the message with every line that starts with "." given a
// second one, every line ending in CR LF, and the closing "." line.
class SmtpDataWriter
{
public:
    static QByteArray dataBlock(const QByteArray &message);
};

} // namespace pelicast
