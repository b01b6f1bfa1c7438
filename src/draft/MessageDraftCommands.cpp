#include "draft/MessageDraftCommands.h"

#include "common/Prompts.h"
#include "draft/BodyFile.h"
#include "draft/MessagePage.h"
#include "draft/SampleAddress.h"
#include "mailing/CharsetTable.h"
#include "shell/TDataModule1.h"

#include <QFileInfo>

namespace pelicast {

namespace {

// A name without any dot, folders included, gets ".txt"; "notes.d/letter" stays as chosen.
QString withTextExtension(const QString &path)
{
    return path.contains(u'.') ? path : path + QStringLiteral(".txt");
}

} // namespace

MessageDraftCommands::MessageDraftCommands(MessageDraft &draft, MessagePage &page, Prompts &prompts,
                                           const TDataModule1 &dialogs)
    : m_draft(draft), m_page(page), m_prompts(prompts), m_dialogs(dialogs)
{
}

void MessageDraftCommands::Button7Click()
{
    const std::optional<QString> path = m_prompts.openFile(m_dialogs.OpenDlg);
    if (!path)
        return;
    m_draft.Body = readBodyFile(*path);
    m_page.setBodyLines(m_draft.Body);
    CheckBox1Click(m_draft.WordWrap);
}

void MessageDraftCommands::Button8Click()
{
    const std::optional<QString> path = m_prompts.saveFile(m_dialogs.SaveDlg);
    if (!path)
        return;
    writeBodyFile(withTextExtension(*path), m_draft.Body);
}

void MessageDraftCommands::Button9Click()
{
    if (!m_prompts.confirmYesNo(QStringLiteral("Clear?")))
        return;
    m_draft.Body.clear();
    m_page.setBodyLines(m_draft.Body);
}

void MessageDraftCommands::Button10Click()
{
    const std::optional<QString> path = m_prompts.openFile(m_dialogs.AttachmentDlg);
    if (!path)
        return;
    m_draft.Attachments << *path;
    RefreshAttachmentList();
}

void MessageDraftCommands::Button11Click()
{
    m_page.setAttachmentNames({});
    m_draft.Attachments.clear();
    RefreshAttachmentList();
}

void MessageDraftCommands::RefreshAttachmentList()
{
    QStringList names;
    names.reserve(m_draft.Attachments.size());
    for (const QString &path : std::as_const(m_draft.Attachments))
        names << QFileInfo(path).fileName();
    m_page.setAttachmentNames(names);
}

void MessageDraftCommands::CheckBox1Click(bool wordWrap)
{
    m_draft.WordWrap = wordWrap;
    m_page.setBodyWordWrap(wordWrap);
    // A wrapped text never needs a horizontal bar.
    m_page.setBodyScrollBars(!wordWrap, true);
}

void MessageDraftCommands::RadioButton3Click(bool charsetFromTable)
{
    m_draft.EncodingInternal = charsetFromTable;
    m_page.setCustomCharsetEnabled(!charsetFromTable);
    m_page.setCharsetListEnabled(charsetFromTable);
}

void MessageDraftCommands::ComboBox3Change(int index)
{
    m_draft.EncodingComboIndex = index;
    m_page.setCharsetListToolTip(CharsetName(index));
}

void MessageDraftCommands::Edit12Change(const QString &text)
{
    m_draft.EncodingEditBox = text;
    // An emptied field keeps showing the last name typed.
    if (!text.isEmpty())
        m_page.setCustomCharsetToolTip(text);
}

void MessageDraftCommands::Sripts_About_BtnClick()
{
    m_prompts.message(scriptsHelpText());
}

QString MessageDraftCommands::scriptsHelpText()
{
    const QStringList lines{
        QStringLiteral("You can use SCRIPTS in your message!"),
        QString(),
        QStringLiteral("Example:"),
        QStringLiteral("Hi %NAME%...... Bye %NAME%"),
        QStringLiteral(
            "Before sending \"%NAME%\" will be replaced with name (From email address)."),
        QStringLiteral("If email address don`t have valid format (\"") + sampleAddressFormat() +
            QStringLiteral("\") then \"%NAME%\" will be simply deleted"),
        QStringLiteral("P.S:You can use \"%NAME%\" in subject of message!"),
        QStringLiteral("Number of \"%NAME%\"(s) has no limit!!!"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace pelicast
