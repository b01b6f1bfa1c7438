#pragma once

#include <QString>

namespace pelicast {

struct ServerSettings;

// The port a connection of the given security mode (ServerSettings::ServerSecurity) expects:
// "25" without one (and for a mode this program does not know), "587" for STARTTLS,
// "465" for SSL/TLS.
QString defaultServerPort(int serverSecurity);

// "Set Default" next to the port field: the port of the chosen security mode.
void Button14Click(ServerSettings &settings);

} // namespace pelicast
