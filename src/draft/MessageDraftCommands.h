#pragma once

#include "draft/MessageDraft.h"

#include <QString>

namespace pelicast {

class MessagePage;
class Prompts;
class TDataModule1;

// The commands of the "Message" tab. Each handler runs when its control is used; the ones
// that follow a control's new state take that state as their argument and store it in the
// draft. Errors (a file that cannot be read or written) are thrown as pelicast::Error and
// leave the draft as it was.
//
// Start-up applies the loaded draft to the controls with their signals blocked and then
// runs RadioButton3Click(EncodingInternal), ComboBox3Change(EncodingComboIndex) and
// Edit12Change(EncodingEditBox), so that enabling and tooltips match. A charset index
// outside the table is kept as it is: the list shows no entry, the tooltip and a send run
// use the table's name for unknown indexes.
class MessageDraftCommands
{
public:
    // The file dialogs are the data container's: Open and Save share theirs with the address
    // import and export.
    MessageDraftCommands(MessageDraft &draft, MessagePage &page, Prompts &prompts,
                         const TDataModule1 &dialogs);

    void Button7Click();  // Open message: replaces the body with a text file's lines
    void Button8Click();  // Save message: writes the body to a text file
    void Button9Click();  // Clear message, after "Clear?"
    void Button10Click(); // Add attachment
    void Button11Click(); // Clear attachments, without a question
    void RefreshAttachmentList();

    void CheckBox1Click(bool wordWrap);
    void RadioButton3Click(bool charsetFromTable);
    void ComboBox3Change(int index);
    void Edit12Change(const QString &text);

    void Sripts_About_BtnClick();

    // The scripts help text: eight lines joined by CR LF.
    static QString scriptsHelpText();

private:
    MessageDraft &m_draft;
    MessagePage &m_page;
    Prompts &m_prompts;
    const TDataModule1 &m_dialogs;
};

} // namespace pelicast
