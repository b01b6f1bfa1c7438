#include "shell/TDataModule1.h"

namespace pelicast {

TDataModule1::TDataModule1()
{
    const QString databaseFilter = QStringLiteral("Pelicast DataBase|*.sdb|All Files|*.*");
    OpenDatabase = {QString(), databaseFilter, QString(), false};
    SaveDatabase = {QStringLiteral("Save"), databaseFilter, QStringLiteral("sdb"), false};
    // "All Files " with its trailing blank is the entry's name as the dialog shows it.
    OpenDlg = {QString(), QStringLiteral("Text files|*.txt|All Files |*.*"), QString(), false};
    SaveDlg = {QStringLiteral("Save"), QStringLiteral("Text files|*.txt|All files|*.*"),
               QStringLiteral("txt"), true};
    AttachmentDlg = {QString(), QStringLiteral("All files|*.*"), QString(), false};
}

} // namespace pelicast
