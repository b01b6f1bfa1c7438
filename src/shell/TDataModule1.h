#pragma once

#include "common/Prompts.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "recipients/RecipientLists.h"

namespace pelicast {

// The data container: everything that lives from start-up to the end of the program and is
// shared by the window's commands. The three lists with their view links come from
// RecipientLists (MainTable, SuccessTable, ErrorTable; DataSource1..3); they start closed
// and start-up opens them. Created before the main window, whose creation fills the lists.
// The outgoing message and its SMTP client are one Mailer, which writes to Log; the window
// points Log at its log view.
class TDataModule1 : public RecipientLists
{
public:
    TDataModule1();
    TDataModule1(const TDataModule1 &) = delete;
    TDataModule1 &operator=(const TDataModule1 &) = delete;

    // The file dialogs, shared by the commands that use them.
    FileDialogSpec OpenDatabase;  // database Open
    FileDialogSpec SaveDatabase;  // database Save
    FileDialogSpec OpenDlg;       // address import and message Open
    FileDialogSpec SaveDlg;       // address export and message Save
    FileDialogSpec AttachmentDlg; // message attachments

    ActivityLog Log;
    Mailer mailer{Log};
    SmtpClient &SMTP() { return mailer.SMTP(); }
    OutgoingMessage &SMTPMessage() { return mailer.SMTPMessage(); }
};

} // namespace pelicast
