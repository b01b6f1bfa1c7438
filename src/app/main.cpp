#include "ui/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelicast"));
    pelicast::TMainForm window;
    window.show();
    return app.exec();
}
