#pragma once

#include <QString>
#include <QStringList>

namespace pelicast {

// The controls of the "Message" tab that the draft commands change. The main window
// implements it; tests use a plain fake. The window keeps MessageDraft up to date as the
// user edits (subject, body, format, priority); the commands write their own changes of
// the draft back through this interface.
class MessagePage
{
public:
    virtual ~MessagePage() = default;

    virtual void setBodyLines(const QStringList &lines) = 0; // Memo1's text
    // Memo1: wrap long lines at the editor's width or not, then redraw.
    virtual void setBodyWordWrap(bool wrap) = 0;
    virtual void setBodyScrollBars(bool horizontal, bool vertical) = 0;

    virtual void setCharsetListEnabled(bool enabled) = 0; // ComboBox3
    virtual void setCharsetListToolTip(const QString &text) = 0;
    virtual void setCustomCharsetEnabled(bool enabled) = 0; // Edit12
    virtual void setCustomCharsetToolTip(const QString &text) = 0;

    virtual void setAttachmentNames(const QStringList &names) = 0; // ListBox1's lines
};

} // namespace pelicast
