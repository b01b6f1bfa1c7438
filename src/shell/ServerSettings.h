#pragma once

#include <QString>

namespace pelicast {

// The SMTP server and sender settings. Each field is named like its key in "Pelicast.ini".
struct ServerSettings
{
    QString Server;
    QString ServerPort = QStringLiteral("25"); // as typed; a number only when a run starts
    int ServerAuthComboIndex = 0;              // 0 none, 1 simple login
    QString ServerLogin;
    QString ServerPWD;
    QString Name;                              // sender's display name
    QString Email;                             // sender's address
    int ServerSecurity = 0;                    // 0 none, 1 STARTTLS, 2 SSL/TLS
    bool ServerAcceptAnyCertificate = false;   // accept certificates that do not verify
};

} // namespace pelicast
