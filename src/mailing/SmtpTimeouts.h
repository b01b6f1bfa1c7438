#pragma once

#include <chrono>

namespace pelicast {

// How long the SMTP client waits for each step before it gives up. The defaults are the
// client timeouts recommended by RFC 5321, section 4.5.3.2 (plus the two-minute connect
// of the program's first client); tests shorten them.
struct SmtpTimeouts
{
    using ms = std::chrono::milliseconds;
    ms connect = std::chrono::minutes(2);     // TCP connection (name lookup included)
    ms greeting = std::chrono::minutes(5);    // the 220 greeting, and a TLS handshake
    ms command = std::chrono::minutes(5);     // EHLO, HELO, STARTTLS, RSET, AUTH
    ms mail = std::chrono::minutes(5);        // MAIL FROM
    ms rcpt = std::chrono::minutes(5);        // each RCPT TO
    ms dataStart = std::chrono::minutes(2);   // the 354 after DATA
    ms dataBlock = std::chrono::minutes(3);   // progress while the message is written
    ms dataEnd = std::chrono::minutes(10);    // the 250 after the final "."

    // Every wait set to the same value (for tests).
    static SmtpTimeouts all(ms value)
    {
        return {value, value, value, value, value, value, value, value};
    }
};

} // namespace pelicast
