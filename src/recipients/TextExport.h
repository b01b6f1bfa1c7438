#pragma once

#include "common/Prompts.h"

#include <QString>

namespace pelicast {

class AbortFlag;
class RecipientList;
class RecipientsPage;
struct RecipientLists;

// The export of one list to an address text file (Button22Click): every address of the
// list of the selected tab (Success for tab 1, Error for tab 2, All otherwise), in the
// list's order, each followed by CR LF, nothing else.
//
// It is a plain loop: no window events run while it writes (the Abort button cannot be
// clicked then), but a pending abort request still stops it before its first line. The
// progress bar follows the records; the list's view link is off while it writes and its
// first record is current afterwards. The file is written through a temporary file that
// replaces the target only when everything was written, so a failure leaves the old file
// (or no file) behind.
//
// Errors are thrown as pelicast::Error after the page has been tidied up.
class TextExport
{
public:
    TextExport(RecipientLists &lists, RecipientsPage &page, Prompts &prompts, AbortFlag &abort);

    static FileDialogSpec saveDialogSpec();

    // Asks for the file, then writes the selected tab's list to it.
    void run();
    // Writes a list to a file (the steps after the dialog).
    void writeList(RecipientList &list, const QString &path);

private:
    RecipientLists &m_lists;
    RecipientsPage &m_page;
    Prompts &m_prompts;
    AbortFlag &m_abort;
};

} // namespace pelicast
