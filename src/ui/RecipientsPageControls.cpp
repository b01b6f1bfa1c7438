#include "ui/RecipientsPageControls.h"

#include "ui_TMainForm.h"

namespace pelicast {

void setBarMaximum(QProgressBar *bar, int maximum)
{
    // A bar whose maximum equals its minimum shows a busy animation; an empty list is
    // nothing to wait for.
    bar->setRange(0, std::max(1, maximum));
}

RecipientsPageControls::RecipientsPageControls(Ui::TMainForm &ui, QLabel *statusPanel)
    : ui(ui), m_statusPanel(statusPanel)
{
    for (int i = 0; i < ControlCount; ++i)
        m_wanted[i] = widget(RecipientControl(i))->isEnabled();
}

QWidget *RecipientsPageControls::widget(RecipientControl control) const
{
    switch (control) {
    case RecipientControl::Edit1: return ui.Edit1;
    case RecipientControl::BitBtn1: return ui.BitBtn1;
    case RecipientControl::Button6: return ui.Button6;
    case RecipientControl::BitBtn2: return ui.BitBtn2;
    case RecipientControl::BitBtn3: return ui.BitBtn3;
    case RecipientControl::Button3: return ui.Button3;
    case RecipientControl::Button4: return ui.Button4;
    case RecipientControl::Button5: return ui.Button5;
    case RecipientControl::Button17Open: return ui.Button17Open;
    case RecipientControl::Button22: return ui.Button22;
    case RecipientControl::Button13: return ui.Button13;
    case RecipientControl::Button_move_all2: return ui.Button_move_all2;
    }
    return ui.Edit1;
}

void RecipientsPageControls::apply(RecipientControl control)
{
    const int i = int(control);
    const bool importLocked = m_importRunning && control == RecipientControl::Button17Open;
    widget(control)->setEnabled(m_wanted[i] && !m_runLocked[i] && !importLocked);
}

int RecipientsPageControls::selectedListTab() const
{
    return ui.PageControl2->currentIndex();
}

QString RecipientsPageControls::newAddressText() const
{
    return ui.Edit1->text();
}

void RecipientsPageControls::setNewAddressText(const QString &text)
{
    ui.Edit1->setText(text);
}

void RecipientsPageControls::setCountLabel(const QString &text)
{
    ui.Label1->setText(text);
}

void RecipientsPageControls::setControlEnabled(RecipientControl control, bool enabled)
{
    m_wanted[int(control)] = enabled;
    apply(control);
}

void RecipientsPageControls::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
}

void RecipientsPageControls::setAbortButtonVisible(bool visible)
{
    ui.AbortButton->setVisible(visible);
}

void RecipientsPageControls::setProgressMaximum(int maximum)
{
    setBarMaximum(ui.ProgressBar, maximum);
}

void RecipientsPageControls::setProgressPosition(int position)
{
    ui.ProgressBar->setValue(position);
}

void RecipientsPageControls::setRunLocked(RecipientControl control, bool locked)
{
    m_runLocked[int(control)] = locked;
    apply(control);
}

void RecipientsPageControls::clearRunLocks()
{
    m_runLocked.fill(false);
    for (int i = 0; i < ControlCount; ++i)
        apply(RecipientControl(i));
}

void RecipientsPageControls::setImportRunning(bool running)
{
    m_importRunning = running;
    apply(RecipientControl::Button17Open);
}

} // namespace pelicast
