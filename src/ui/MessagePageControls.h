#pragma once

#include "draft/MessagePage.h"

namespace Ui {
class TMainForm;
}

namespace pelicast {

struct MessageDraft;

// The "Message" tab's controls as the draft commands see them, and the two ways between
// the controls and the draft that the window keeps.
class MessagePageControls : public MessagePage
{
public:
    explicit MessagePageControls(Ui::TMainForm &ui);

    void setBodyLines(const QStringList &lines) override;
    void setBodyWordWrap(bool wrap) override;
    void setBodyScrollBars(bool horizontal, bool vertical) override;
    void setCharsetListEnabled(bool enabled) override;
    void setCharsetListToolTip(const QString &text) override;
    void setCustomCharsetEnabled(bool enabled) override;
    void setCustomCharsetToolTip(const QString &text) override;
    void setAttachmentNames(const QStringList &names) override;

    // Shows every field of the draft without running a handler. A charset index that
    // names no entry shows no entry; the draft keeps it.
    void showDraft(const MessageDraft &draft);
    // The body's lines as Memo1 holds them.
    QStringList bodyLines() const;

private:
    Ui::TMainForm &ui;
};

} // namespace pelicast
