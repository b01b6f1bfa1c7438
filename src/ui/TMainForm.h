#pragma once

#include "recipients/RecipientsPage.h"
#include "shell/ServerSettings.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class TMainForm;
}

namespace pelicast {

class ActivityLogView;
class Prompts;
class QtPrompts;
struct RecipientLists;

// The program's one window. Every handler reads its controls, calls the command of the core
// and writes the result back; each runs through runHandler(), which shows the error that
// ends it.
class TMainForm : public QMainWindow, public RecipientsPage
{
    Q_OBJECT
public:
    // prompts: where questions and messages go; null for the real boxes over this window.
    explicit TMainForm(RecipientLists &lists, Prompts *prompts = nullptr,
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    Prompts &prompts() const { return *m_prompts; }

    // The AddLog sink that writes into LogMemo.
    std::function<void(const QString &)> logSink();
    QStringList logLines();

    // The "Settings" tab. An index that names no entry of its list shows no selection and
    // is given back unchanged.
    ServerSettings serverSettings() const;
    void setServerSettings(const ServerSettings &settings);

    // RecipientsPage
    int selectedListTab() const override;
    QString newAddressText() const override;
    void setNewAddressText(const QString &text) override;
    void setCountLabel(const QString &text) override;
    void setControlEnabled(RecipientControl control, bool enabled) override;
    void setStatusText(const QString &text) override;
    void setAbortButtonVisible(bool visible) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;

public Q_SLOTS:
    void Button15Click(); // "Clear Log"
    void Exit1Click();

private:
    void wireHandlers();
    void runGuarded(const std::function<void()> &handler);
    template<typename Sender, typename Signal>
    void wire(Sender *sender, Signal signal, void (TMainForm::*handler)());
    void cboSecurityChange();
    void centreOnScreen();

    std::unique_ptr<Ui::TMainForm> ui;
    RecipientLists &m_lists;
    std::unique_ptr<QtPrompts> m_ownPrompts;
    Prompts *m_prompts;
    ActivityLogView *m_log = nullptr;
    QLabel *m_statusPanel = nullptr;
    // Indexes from the settings file that name no entry, kept to be written back as read.
    int m_authIndexOutOfRange = 0;
};

} // namespace pelicast
