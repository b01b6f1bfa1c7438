#pragma once

#include <QString>

#include <functional>

class QObject;

namespace pelicast {

class AbortFlag;
class Prompts;
class RecipientsPage;
class TextImport;
struct RecipientLists;

// The handlers of the text file group on the "Recipents" page, for the window to call.

// Import From TXT (Button17Open): starts an import into All (TextImport), owned by `parent`
// and deleted once it has finished. An error that ends it is handed to onError as its text.
// Returns the running import, to follow its finished() signal, or nullptr when it has
// ended already (cancelled, no file, or a file that could not be opened).
TextImport *Button17OpenClick(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                              AbortFlag &abort, QObject *parent,
                              const std::function<void(const QString &)> &onError);

// Export To TXT (Button22): exports the list of the selected tab (TextExport). Throws
// pelicast::Error.
void Button22Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                   AbortFlag &abort);

// Abort (AbortButton): requests the running import or export to stop. Nothing else.
void AbortButtonClick(AbortFlag &abort);

} // namespace pelicast
