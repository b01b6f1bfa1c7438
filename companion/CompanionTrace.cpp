#include "CompanionTrace.h"

#include <QByteArray>
#include <QFile>

void traceCompanionCall(const char *entryPoint)
{
    const QByteArray path = qgetenv("PELICAST_COMPANION_TRACE");
    if (path.isEmpty())
        return;
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(QByteArray(entryPoint) + '\n');
}
