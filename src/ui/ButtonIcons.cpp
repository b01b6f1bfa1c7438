#include "ui/ButtonIcons.h"

#include "ui_TMainForm.h"

#include <QIcon>
#include <QStyle>

namespace pelicast {

namespace {

QIcon themed(const QWidget *widget, const char *themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            widget->style()->standardIcon(fallback, nullptr, widget));
}

} // namespace

void applyButtonIcons(Ui::TMainForm &ui)
{
    const QWidget *w = ui.PageControl1;
    const QIcon open = themed(w, "document-open", QStyle::SP_DialogOpenButton);
    const QIcon clear = themed(w, "edit-clear", QStyle::SP_DialogResetButton);

    // "Message" tab
    ui.Button7->setIcon(open);
    ui.Button8->setIcon(themed(w, "document-save", QStyle::SP_DialogSaveButton));
    ui.Button9->setIcon(clear);
    ui.Button10->setIcon(themed(w, "mail-attachment", QStyle::SP_FileIcon));
    ui.Button11->setIcon(themed(w, "edit-delete", QStyle::SP_DialogDiscardButton));

    // "Recipents" tab
    ui.BitBtn1->setIcon(themed(w, "list-add", QStyle::SP_DialogApplyButton));
    ui.Button6->setIcon(themed(w, "list-remove", QStyle::SP_TrashIcon));
    ui.BitBtn2->setIcon(themed(w, "document-edit", QStyle::SP_FileDialogDetailedView));
    ui.BitBtn3->setIcon(themed(w, "edit-find", QStyle::SP_FileDialogContentsView));
    ui.Button3->setIcon(open);
    ui.Button4->setIcon(themed(w, "document-save-as", QStyle::SP_DriveHDIcon));
    ui.Button5->setIcon(clear);
    ui.Button2->setIcon(themed(w, "mail-send", QStyle::SP_ArrowForward));
}

} // namespace pelicast
