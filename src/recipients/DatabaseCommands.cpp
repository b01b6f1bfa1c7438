#include "recipients/DatabaseCommands.h"

#include "common/Prompts.h"
#include "recipients/DatabaseFile.h"
#include "recipients/RecipientCount.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"

#include <QFileInfo>

namespace pelicast {

namespace {

FileDialogSpec databaseDialog(const QString &title)
{
    FileDialogSpec spec;
    spec.title = title;
    spec.filter = QStringLiteral("Pelicast DataBase|*.sdb|All Files|*.*");
    spec.defaultSuffix = QStringLiteral("sdb");
    spec.confirmOverwrite = false;
    return spec;
}

} // namespace

void Button3Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts)
{
    const Answer answer = prompts.warningYesNoCancel(QStringLiteral("Clear database before opening ?"));
    if (answer == Answer::Cancel)
        return;
    const bool emptied = answer == Answer::Yes;
    if (emptied)
        lists.MainTable.EmptyList();

    const std::optional<QString> path = prompts.openFile(databaseDialog(QString()));
    if (!path) {
        if (emptied)
            RefreshRecipientCount(lists, page);
        return;
    }
    if (QFileInfo::exists(*path)) {
        try {
            LoadDatabaseFile(lists.MainTable, *path);
        } catch (...) {
            RefreshRecipientCount(lists, page);
            throw;
        }
    }
    RefreshRecipientCount(lists, page);
}

void Button4Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts)
{
    const std::optional<QString> path = prompts.saveFile(databaseDialog(QStringLiteral("Save")));
    if (!path)
        return;
    if (RecipientList *list = lists.byTab(page.selectedListTab()))
        SaveDatabaseFile(*list, *path);
}

} // namespace pelicast
