#include "recipients/RecipientLists.h"
#include "ui/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelicast"));
    pelicast::RecipientLists lists;
    lists.openAll();
    pelicast::TMainForm window(lists);
    window.show();
    return app.exec();
}
