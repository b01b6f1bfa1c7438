#include "ui/TMainForm.h"

#include "common/Error.h"
#include "draft/MessageDraftCommands.h"
#include "draft/SampleAddress.h"
#include "mailing/CharsetTable.h"
#include "mailing/SendRun.h"
#include "recipients/DatabaseCommands.h"
#include "recipients/RecipientCommands.h"
#include "recipients/RecipientCount.h"
#include "recipients/TextFileCommands.h"
#include "recipients/TextImport.h"
#include "shell/CompanionLibrary.h"
#include "shell/DefaultPort.h"
#include "shell/TDataModule1.h"
#include "ui/ActivityLogView.h"
#include "ui/ButtonIcons.h"
#include "ui/HandlerGuard.h"
#include "ui/MessagePageControls.h"
#include "ui/QtPrompts.h"
#include "ui/RecipientGrid.h"
#include "ui/RecipientsPageControls.h"
#include "ui_TMainForm.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QScreen>
#include <QStyle>

namespace pelicast {

TMainForm::TMainForm(TDataModule1 &data, Prompts *prompts, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()), m_data(data)
{
    ui->setupUi(this);
    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    setUpControls();

    m_page = std::make_unique<RecipientsPageControls>(*ui, m_statusPanel);
    m_recipientCommands = std::make_unique<RecipientCommands>(m_data, *m_page, *m_prompts);
    m_messagePage = std::make_unique<MessagePageControls>(*ui);
    m_draftCommands = std::make_unique<MessageDraftCommands>(m_draft, *m_messagePage, *m_prompts,
                                                             m_data);
    m_log = new ActivityLogView(ui->LogMemo, this);
    m_data.Log.setSink([log = QPointer<ActivityLogView>(m_log)](const QString &line) {
        if (log)
            log->addLine(line);
    });
    m_sendRun = new SendRun(m_data.mailer, m_data, m_data.Log, *this, this);
    connect(m_sendRun, &SendRun::finished, this, &TMainForm::onSendRunFinished);

    new RecipientGrid(ui->DBGrid1, data.DataSource1, [this] { gridDelete(m_data.MainTable); });
    new RecipientGrid(ui->DBGrid2, data.DataSource2, [this] { gridDelete(m_data.SuccessTable); });
    new RecipientGrid(ui->DBGrid3, data.DataSource3, [this] { gridDelete(m_data.ErrorTable); });

    m_logoCloseTimer.setObjectName(QStringLiteral("LogoCloseTimer"));
    m_logoCloseTimer.setInterval(1000);
    m_logoCloseTimer.setSingleShot(true);

    wireHandlers();
    wireDraftFields();
    showDraft(m_draft);
    cboSecurityChange();
    if (const QScreen *s = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        s->availableGeometry()));
    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    ui->PageControl2->setCurrentWidget(ui->TabSheet5);
    runGuarded([this] { PageControl2Change(); });
    ui->Edit2->setFocus();
}

TMainForm::~TMainForm()
{
    m_data.Log.setSink({});
}

void TMainForm::setUpControls()
{
    QFont memoFont(QStringLiteral("Arial"));
    memoFont.setPixelSize(12);
    ui->Memo1->setFont(memoFont);
    QPalette memoPalette = ui->Memo1->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) // disabled text stays grey
        memoPalette.setColor(group, QPalette::Text, Qt::black);
    ui->Memo1->setPalette(memoPalette);

    ui->Edit1->setToolTip(newAddressHint());
    ui->ComboBox3->addItems(charsetComboTexts());
    // The list is narrower than its longest entries; when open, it shows them whole.
    ui->ComboBox3->view()->setMinimumWidth(ui->ComboBox3->view()->sizeHintForColumn(0) + 24);

    m_statusPanel = new QLabel(ui->StatusBar);
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel->setFixedWidth(300);
    ui->StatusBar->addWidget(m_statusPanel);

    // The stop and abort buttons appear and vanish without moving the others.
    for (QPushButton *w : {ui->AbortSendBtn1, ui->AbortSendBtn2, ui->AbortButton}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    applyButtonIcons(*ui);
}

void TMainForm::runGuarded(const std::function<void()> &handler)
{
    runHandler(*m_prompts, [&] {
        draft(); // the commands see the body as the editor holds it
        handler();
    });
}

template<typename Sender, typename Signal>
void TMainForm::wire(Sender *sender, Signal signal, void (TMainForm::*handler)())
{
    connect(sender, signal, this,
            [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
}

void TMainForm::wireHandlers()
{
    wire(ui->PageControl2, &QTabWidget::currentChanged, &TMainForm::PageControl2Change);
    wire(ui->Edit1, &QLineEdit::textChanged, &TMainForm::Edit1Change);
    wire(ui->BitBtn1, &QPushButton::clicked, &TMainForm::BitBtn1Click);
    wire(ui->Button6, &QPushButton::clicked, &TMainForm::Button6Click);
    wire(ui->BitBtn2, &QPushButton::clicked, &TMainForm::BitBtn2Click);
    wire(ui->BitBtn3, &QPushButton::clicked, &TMainForm::BitBtn3Click);
    wire(ui->Button5, &QPushButton::clicked, &TMainForm::Button5Click);
    wire(ui->Button13, &QPushButton::clicked, &TMainForm::Button13Click);
    wire(ui->Button_move_all2, &QPushButton::clicked, &TMainForm::Button13Click);
    wire(ui->Button2, &QPushButton::clicked, &TMainForm::Button2Click);
    wire(ui->AbortSendBtn1, &QPushButton::clicked, &TMainForm::AbortSendBtn1Click);
    wire(ui->AbortSendBtn2, &QPushButton::clicked, &TMainForm::AbortSendBtn1Click);
    wire(ui->Button3, &QPushButton::clicked, &TMainForm::Button3Click);
    wire(ui->Button4, &QPushButton::clicked, &TMainForm::Button4Click);
    wire(ui->Button17Open, &QPushButton::clicked, &TMainForm::Button17OpenClick);
    wire(ui->Button22, &QPushButton::clicked, &TMainForm::Button22Click);
    wire(ui->AbortButton, &QPushButton::clicked, &TMainForm::AbortButtonClick);

    wire(ui->Button7, &QPushButton::clicked, &TMainForm::Button7Click);
    wire(ui->Button8, &QPushButton::clicked, &TMainForm::Button8Click);
    wire(ui->Button9, &QPushButton::clicked, &TMainForm::Button9Click);
    wire(ui->Button10, &QPushButton::clicked, &TMainForm::Button10Click);
    wire(ui->Button11, &QPushButton::clicked, &TMainForm::Button11Click);
    wire(ui->CheckBox1, &QCheckBox::toggled, &TMainForm::CheckBox1Click);
    wire(ui->RadioButton3, &QRadioButton::toggled, &TMainForm::RadioButton3Click);
    wire(ui->ComboBox3, &QComboBox::currentIndexChanged, &TMainForm::ComboBox3Change);
    wire(ui->Edit12, &QLineEdit::textChanged, &TMainForm::Edit12Change);
    wire(ui->Sripts_About_Btn, &QPushButton::clicked, &TMainForm::Sripts_About_BtnClick);

    wire(ui->Button14, &QPushButton::clicked, &TMainForm::Button14Click);
    wire(ui->cboSecurity, &QComboBox::currentIndexChanged, &TMainForm::cboSecurityChange);
    wire(ui->Button15, &QPushButton::clicked, &TMainForm::Button15Click);
    wire(ui->Exit1, &QAction::triggered, &TMainForm::Exit1Click);
    wire(ui->About1, &QAction::triggered, &TMainForm::About1Click);
    wire(&m_logoCloseTimer, &QTimer::timeout, &TMainForm::LogoCloseTimerTimer);
}

// Subject, body, format and priority go into the draft as the user edits them; the body,
// which can be long, is read from the editor only when something needs the draft.
void TMainForm::wireDraftFields()
{
    connect(ui->Edit2, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_draft.Subject = text; });
    connect(ui->Memo1, &QPlainTextEdit::textChanged, this, [this] { m_bodyEdited = true; });
    connect(ui->RadioButton1, &QRadioButton::toggled, this,
            [this](bool html) { m_draft.HTML = html; });
    connect(ui->cboPriority, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_draft.Priority = index;
    });
}

MessageDraft &TMainForm::draft()
{
    if (m_bodyEdited) {
        m_draft.Body = m_messagePage->bodyLines();
        m_bodyEdited = false;
    }
    return m_draft;
}

void TMainForm::showDraft(const MessageDraft &draft)
{
    m_draft = draft;
    m_messagePage->showDraft(m_draft);
    m_bodyEdited = false;
    m_draftCommands->RefreshAttachmentList();
    m_draftCommands->CheckBox1Click(m_draft.WordWrap);
    m_draftCommands->RadioButton3Click(m_draft.EncodingInternal);
    m_draftCommands->ComboBox3Change(m_draft.EncodingComboIndex);
    m_draftCommands->Edit12Change(m_draft.EncodingEditBox);
}

bool TMainForm::isBusy() const
{
    return m_sendRun->isActive() || m_import;
}

QStringList TMainForm::logLines()
{
    return m_log->lines();
}

// "Recipents"

void TMainForm::PageControl2Change()
{
    if (m_listTabHandlerAttached)
        m_recipientCommands->PageControl2Change();
}

void TMainForm::Edit1Change() { m_recipientCommands->Edit1Change(); }
void TMainForm::BitBtn1Click() { m_recipientCommands->BitBtn1Click(); }
void TMainForm::Button6Click() { m_recipientCommands->Button6Click(); }
void TMainForm::BitBtn2Click() { m_recipientCommands->BitBtn2Click(); }
void TMainForm::BitBtn3Click() { m_recipientCommands->BitBtn3Click(); }
void TMainForm::Button5Click() { m_recipientCommands->Button5Click(); }
void TMainForm::Button13Click() { m_recipientCommands->Button13Click(); }

void TMainForm::gridDelete(RecipientList &list)
{
    runGuarded([&] { m_recipientCommands->deleteRecordFromGrid(list); });
}

void TMainForm::Button2Click()
{
    m_sendRun->Button2Click(m_draft, serverSettings());
}

void TMainForm::AbortSendBtn1Click()
{
    m_sendRun->AbortSendBtn1Click();
}

void TMainForm::Button3Click()
{
    pelicast::Button3Click(m_data, *m_page, *m_prompts);
}

void TMainForm::Button4Click()
{
    pelicast::Button4Click(m_data, *m_page, *m_prompts);
}

void TMainForm::Button17OpenClick()
{
    TextImport *import = pelicast::Button17OpenClick(
        m_data, *m_page, *m_prompts, m_abort, this,
        [this](const QString &text) { showError(text); });
    if (!import)
        return;
    m_import = import;
    connect(import, &TextImport::finished, this, &TMainForm::onImportFinished);
    m_page->setImportRunning(true);
    applySendEnabled();
}

void TMainForm::Button22Click()
{
    pelicast::Button22Click(m_data, *m_page, *m_prompts, m_abort);
}

void TMainForm::AbortButtonClick()
{
    pelicast::AbortButtonClick(m_abort);
}

void TMainForm::onImportFinished()
{
    m_import = nullptr;
    m_page->setImportRunning(false);
    applySendEnabled();
    closeWhenIdle();
}

// "Message"

void TMainForm::Button7Click() { m_draftCommands->Button7Click(); }
void TMainForm::Button8Click() { m_draftCommands->Button8Click(); }
void TMainForm::Button9Click() { m_draftCommands->Button9Click(); }
void TMainForm::Button10Click() { m_draftCommands->Button10Click(); }
void TMainForm::Button11Click() { m_draftCommands->Button11Click(); }
void TMainForm::Sripts_About_BtnClick() { m_draftCommands->Sripts_About_BtnClick(); }

void TMainForm::CheckBox1Click()
{
    m_draftCommands->CheckBox1Click(ui->CheckBox1->isChecked());
}

void TMainForm::RadioButton3Click()
{
    m_draftCommands->RadioButton3Click(ui->RadioButton3->isChecked());
}

void TMainForm::ComboBox3Change()
{
    m_draftCommands->ComboBox3Change(ui->ComboBox3->currentIndex());
}

void TMainForm::Edit12Change()
{
    m_draftCommands->Edit12Change(ui->Edit12->text());
}

// "Settings"

void TMainForm::Button14Click()
{
    ServerSettings settings = serverSettings();
    pelicast::Button14Click(settings);
    ui->Edit5->setText(settings.ServerPort);
}

void TMainForm::cboSecurityChange()
{
    ui->chkAcceptAnyCertificate->setEnabled(ui->cboSecurity->currentIndex() > 0);
}

ServerSettings TMainForm::serverSettings() const
{
    ServerSettings s;
    s.Server = ui->Edit4->text();
    s.ServerPort = ui->Edit5->text();
    s.ServerAuthComboIndex = ui->cboAuthType->currentIndex() >= 0
                                 ? ui->cboAuthType->currentIndex()
                                 : m_authIndexAsRead;
    s.ServerLogin = ui->Edit6->text();
    s.ServerPWD = ui->Edit16->text();
    s.Name = ui->Edit7->text();
    s.Email = ui->Edit8->text();
    s.ServerSecurity = std::max(0, ui->cboSecurity->currentIndex());
    s.ServerAcceptAnyCertificate = ui->chkAcceptAnyCertificate->isChecked();
    return s;
}

void TMainForm::setServerSettings(const ServerSettings &s)
{
    ui->Edit4->setText(s.Server);
    ui->Edit5->setText(s.ServerPort);
    const int auth = s.ServerAuthComboIndex;
    ui->cboAuthType->setCurrentIndex(auth >= 0 && auth < ui->cboAuthType->count() ? auth : -1);
    m_authIndexAsRead = auth;
    ui->Edit6->setText(s.ServerLogin);
    ui->Edit16->setText(s.ServerPWD);
    ui->Edit7->setText(s.Name);
    ui->Edit8->setText(s.Email);
    ui->cboSecurity->setCurrentIndex(std::clamp(s.ServerSecurity, 0, ui->cboSecurity->count() - 1));
    ui->chkAcceptAnyCertificate->setChecked(s.ServerAcceptAnyCertificate);
}

// "Statistics" and the menu

void TMainForm::Button15Click()
{
    m_log->clear();
}

void TMainForm::Exit1Click()
{
    close();
}

void TMainForm::About1Click()
{
    ShowAboutForm();
}

void TMainForm::LogoCloseTimerTimer()
{
    m_logoCloseTimer.stop();
    try {
        CloseLogo();
    } catch (...) {
        // The logo is only a greeting: the program goes on without closing it.
    }
}

// Closing while a send run or an import is under way asks it to stop and closes once it
// has ended, so that the lists are written as the command leaves them.
void TMainForm::closeEvent(QCloseEvent *event)
{
    if (isBusy()) {
        m_closePending = true;
        if (m_sendRun->isActive())
            m_sendRun->requestStop();
        if (m_import)
            m_abort.request();
        event->ignore();
        return;
    }
    m_closePending = false;
    event->accept();
}

void TMainForm::closeWhenIdle()
{
    if (m_closePending && !isBusy())
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// The send run's view

void TMainForm::showStatisticsTab()
{
    ui->PageControl1->setCurrentWidget(ui->TabSheet4);
}

void TMainForm::setStopButtonsVisible(bool visible)
{
    ui->AbortSendBtn1->setVisible(visible);
    ui->AbortSendBtn2->setVisible(visible);
}

void TMainForm::setMessageTabEnabled(bool enabled)
{
    ui->TabSheet1->setEnabled(enabled);
}

void TMainForm::setListGridsEnabled(bool enabled)
{
    for (QWidget *grid : {ui->DBGrid1, ui->DBGrid2, ui->DBGrid3})
        grid->setEnabled(enabled);
}

void TMainForm::setListTabHandlerAttached(bool attached)
{
    m_listTabHandlerAttached = attached;
}

void TMainForm::setListCommandEnabled(RecipientControl control, bool enabled)
{
    m_page->setRunLocked(control, !enabled);
}

void TMainForm::setSettingsTabEnabled(bool enabled)
{
    ui->TabSheet3->setEnabled(enabled);
}

void TMainForm::setSendEnabled(bool enabled)
{
    m_sendWanted = enabled;
    applySendEnabled();
}

// Send waits for an import to end: the run takes All's first address at every step, and
// the import's stores would move that record under it.
void TMainForm::applySendEnabled()
{
    ui->Button2->setEnabled(m_sendWanted && !m_import);
}

void TMainForm::setProgressMaximum(int maximum)
{
    setBarMaximum(ui->ProgressBar, maximum);
    setBarMaximum(ui->ProgressBar1, maximum);
}

void TMainForm::setProgressPosition(int position)
{
    ui->ProgressBar->setValue(position);
    ui->ProgressBar1->setValue(position);
}

void TMainForm::RefreshRecipientCount()
{
    pelicast::RefreshRecipientCount(m_data, *m_page);
}

void TMainForm::showError(const QString &text)
{
    m_prompts->error(standardErrorText(text));
}

void TMainForm::onSendRunFinished()
{
    // The restore has run the button rule; what it enabled takes effect now.
    m_page->clearRunLocks();
    closeWhenIdle();
}

} // namespace pelicast
