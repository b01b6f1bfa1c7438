#pragma once

#include <QString>

namespace pelicast {

// The one sample mail address the program shows: in the hint of the "New:" field and in the
// scripts help text. Both show the address format "Name <address>".
inline QString sampleAddress()
{
    return QStringLiteral("john@example.com");
}

// "Name <john@example.com>"
inline QString sampleAddressFormat()
{
    return QStringLiteral("Name <") + sampleAddress() + u'>';
}

// The hint of the "New:" field (Edit1).
inline QString newAddressHint()
{
    return QStringLiteral("FORMAT: ") + sampleAddressFormat();
}

} // namespace pelicast
