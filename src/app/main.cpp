#include "shell/TDataModule1.h"
#include "ui/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelicast"));
    pelicast::TDataModule1 data;
    data.openAll();
    pelicast::TMainForm window(data);
    window.show();
    return app.exec();
}
