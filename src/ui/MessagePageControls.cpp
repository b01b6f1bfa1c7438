#include "ui/MessagePageControls.h"

#include "draft/MessageDraft.h"
#include "ui_TMainForm.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

namespace pelicast {

MessagePageControls::MessagePageControls(Ui::TMainForm &ui) : ui(ui) {}

void MessagePageControls::setBodyLines(const QStringList &lines)
{
    ui.Memo1->setPlainText(lines.join(u'\n'));
}

QStringList MessagePageControls::bodyLines() const
{
    const QTextDocument *document = ui.Memo1->document();
    if (document->isEmpty())
        return {};
    // Block by block rather than toPlainText(), which turns no-break spaces into spaces.
    // A line break inside a block (Shift+Enter) ends a line as well.
    QStringList lines;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        lines << b.text().split(QChar::LineSeparator);
    return lines;
}

void MessagePageControls::setBodyWordWrap(bool wrap)
{
    ui.Memo1->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    ui.Memo1->viewport()->update();
}

void MessagePageControls::setBodyScrollBars(bool horizontal, bool vertical)
{
    ui.Memo1->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
    ui.Memo1->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
                                                  : Qt::ScrollBarAlwaysOff);
}

void MessagePageControls::setCharsetListEnabled(bool enabled)
{
    ui.ComboBox3->setEnabled(enabled);
}

void MessagePageControls::setCharsetListToolTip(const QString &text)
{
    ui.ComboBox3->setToolTip(text);
}

void MessagePageControls::setCustomCharsetEnabled(bool enabled)
{
    ui.Edit12->setEnabled(enabled);
}

void MessagePageControls::setCustomCharsetToolTip(const QString &text)
{
    ui.Edit12->setToolTip(text);
}

void MessagePageControls::setAttachmentNames(const QStringList &names)
{
    ui.ListBox1->clear();
    ui.ListBox1->addItems(names);
}

void MessagePageControls::showDraft(const MessageDraft &draft)
{
    const QSignalBlocker blockers[] = {
        QSignalBlocker(ui.Edit2),        QSignalBlocker(ui.Memo1),
        QSignalBlocker(ui.RadioButton1), QSignalBlocker(ui.RadioButton2),
        QSignalBlocker(ui.RadioButton3), QSignalBlocker(ui.RadioButton5),
        QSignalBlocker(ui.ComboBox3),    QSignalBlocker(ui.Edit12),
        QSignalBlocker(ui.cboPriority),  QSignalBlocker(ui.CheckBox1)};
    ui.Edit2->setText(draft.Subject);
    setBodyLines(draft.Body);
    (draft.HTML ? ui.RadioButton1 : ui.RadioButton2)->setChecked(true);
    (draft.EncodingInternal ? ui.RadioButton3 : ui.RadioButton5)->setChecked(true);
    const int charset = draft.EncodingComboIndex;
    ui.ComboBox3->setCurrentIndex(charset >= 0 && charset < ui.ComboBox3->count() ? charset : -1);
    ui.Edit12->setText(draft.EncodingEditBox);
    ui.cboPriority->setCurrentIndex(draft.Priority >= 0 && draft.Priority < ui.cboPriority->count()
                                        ? draft.Priority
                                        : -1);
    ui.CheckBox1->setChecked(draft.WordWrap);
}

} // namespace pelicast
