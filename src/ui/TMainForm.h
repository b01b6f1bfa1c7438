#pragma once

#include "draft/MessageDraft.h"
#include "mailing/SendRunView.h"
#include "recipients/AbortFlag.h"
#include "shell/ServerSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class TMainForm;
}

namespace pelicast {

class ActivityLogView;
class MessageDraftCommands;
class MessagePageControls;
class Prompts;
class QtPrompts;
class RecipientCommands;
class RecipientList;
class RecipientsPageControls;
class SendRun;
class TDataModule1;
class TextImport;

// The program's one window. Every handler reads its controls, calls the command of the core
// and writes the result back; each runs through runHandler(), which shows the error that
// ends it. The window is the send run's view (SendRunView); the "Recipents" and "Message"
// pages are seen by their commands through RecipientsPageControls and MessagePageControls.
class TMainForm : public QMainWindow, private SendRunView
{
    Q_OBJECT
public:
    // prompts: where questions and messages go; null for the real boxes over this window.
    explicit TMainForm(TDataModule1 &data, Prompts *prompts = nullptr,
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    Prompts &prompts() const { return *m_prompts; }
    QStringList logLines();

    // The draft as the "Message" tab shows it.
    MessageDraft &draft();
    // Shows a draft (as read at start-up) and runs the handlers that follow its values.
    void showDraft(const MessageDraft &draft);

    // The "Settings" tab. An index that names no entry of its list shows no selection and
    // is given back unchanged.
    ServerSettings serverSettings() const;
    void setServerSettings(const ServerSettings &settings);

    // A send run or an import is under way; a close now waits for it to end.
    bool isBusy() const;

public Q_SLOTS:
    // "Recipents"
    void PageControl2Change() override;
    void Edit1Change();
    void BitBtn1Click(); // Add
    void Button6Click(); // Delete
    void BitBtn2Click(); // Edit
    void BitBtn3Click(); // Find
    void Button5Click(); // Clear
    void Button13Click(); // both "<<--- Move to All"
    void Button2Click(); // Send
    void AbortSendBtn1Click();
    void Button3Click();
    void Button4Click();
    void Button17OpenClick();
    void Button22Click();
    void AbortButtonClick();
    // "Message"
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void CheckBox1Click();
    void RadioButton3Click();
    void ComboBox3Change();
    void Edit12Change();
    void Sripts_About_BtnClick();
    // "Settings"
    void Button14Click();
    // "Statistics"
    void Button15Click(); // "Clear Log"
    // Menu
    void Exit1Click();
    void About1Click();
    // The logo of the companion library goes one second after start-up.
    void LogoCloseTimerTimer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // SendRunView
    void showStatisticsTab() override;
    void setStopButtonsVisible(bool visible) override;
    void setMessageTabEnabled(bool enabled) override;
    void setListGridsEnabled(bool enabled) override;
    void setListTabHandlerAttached(bool attached) override;
    void setListCommandEnabled(RecipientControl control, bool enabled) override;
    void setSettingsTabEnabled(bool enabled) override;
    void setSendEnabled(bool enabled) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void RefreshRecipientCount() override;
    void showError(const QString &text) override;

    void setUpControls();
    void wireHandlers();
    void wireDraftFields();
    void runGuarded(const std::function<void()> &handler);
    template<typename Sender, typename Signal>
    void wire(Sender *sender, Signal signal, void (TMainForm::*handler)());
    void cboSecurityChange();
    void gridDelete(RecipientList &list);
    void applySendEnabled();
    void onSendRunFinished();
    void onImportFinished();
    void closeWhenIdle();

    std::unique_ptr<Ui::TMainForm> ui;
    TDataModule1 &m_data;
    std::unique_ptr<QtPrompts> m_ownPrompts;
    Prompts *m_prompts;
    QLabel *m_statusPanel = nullptr;
    ActivityLogView *m_log = nullptr;
    std::unique_ptr<RecipientsPageControls> m_page;
    std::unique_ptr<RecipientCommands> m_recipientCommands;
    std::unique_ptr<MessagePageControls> m_messagePage;
    MessageDraft m_draft;
    std::unique_ptr<MessageDraftCommands> m_draftCommands;
    SendRun *m_sendRun = nullptr;
    QTimer m_logoCloseTimer;
    AbortFlag m_abort;
    QPointer<TextImport> m_import;
    bool m_bodyEdited = false;
    bool m_listTabHandlerAttached = true;
    bool m_sendWanted = true;
    bool m_closePending = false;
    // An authentication index from the settings file that names no entry, kept to be
    // written back as read.
    int m_authIndexAsRead = 0;
};

} // namespace pelicast
