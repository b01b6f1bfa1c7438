#include "shell/DefaultPort.h"

#include "shell/ServerSettings.h"

namespace pelicast {

QString defaultServerPort(int serverSecurity)
{
    switch (serverSecurity) {
    case 1:
        return QStringLiteral("587");
    case 2:
        return QStringLiteral("465");
    default:
        return QStringLiteral("25");
    }
}

void Button14Click(ServerSettings &settings)
{
    settings.ServerPort = defaultServerPort(settings.ServerSecurity);
}

} // namespace pelicast
