#include "recipients/TextFileCommands.h"

#include "recipients/AbortFlag.h"
#include "recipients/TextExport.h"
#include "recipients/TextImport.h"

namespace pelicast {

TextImport *Button17OpenClick(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                              AbortFlag &abort, QObject *parent,
                              const std::function<void(const QString &)> &onError)
{
    auto *import = new TextImport(lists, page, prompts, abort, parent);
    QObject::connect(import, &TextImport::failed, import, onError);
    QObject::connect(import, &TextImport::finished, import, &QObject::deleteLater);
    return import->start() ? import : nullptr;
}

void Button22Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                   AbortFlag &abort)
{
    TextExport(lists, page, prompts, abort).run();
}

void AbortButtonClick(AbortFlag &abort)
{
    abort.request();
}

} // namespace pelicast
