#include "ui/TMainForm.h"

#include "recipients/RecipientLists.h"
#include "ui/ActivityLogView.h"
#include "ui/ButtonIcons.h"
#include "ui/HandlerGuard.h"
#include "ui/QtPrompts.h"
#include "ui/RecipientGrid.h"
#include "ui_TMainForm.h"

#include <QScreen>
#include <QStyle>

namespace pelicast {

namespace {

// An index for a list that may name no entry: such an index shows as no selection.
void selectIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

TMainForm::TMainForm(RecipientLists &lists, Prompts *prompts, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()), m_lists(lists)
{
    ui->setupUi(this);
    if (!prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;

    QFont memoFont(QStringLiteral("Arial"));
    memoFont.setPixelSize(12);
    ui->Memo1->setFont(memoFont);
    QPalette memoPalette = ui->Memo1->palette();
    memoPalette.setColor(QPalette::Text, Qt::black);
    ui->Memo1->setPalette(memoPalette);

    m_statusPanel = new QLabel(ui->StatusBar);
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel->setFixedWidth(300);
    ui->StatusBar->addWidget(m_statusPanel);

    // The stop and abort buttons appear and vanish during a run without moving the others.
    for (QPushButton *w : {ui->AbortSendBtn1, ui->AbortSendBtn2, ui->AbortButton}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    applyButtonIcons(*ui);

    m_log = new ActivityLogView(ui->LogMemo, this);
    new RecipientGrid(ui->DBGrid1, lists.DataSource1, [] {});
    new RecipientGrid(ui->DBGrid2, lists.DataSource2, [] {});
    new RecipientGrid(ui->DBGrid3, lists.DataSource3, [] {});

    wireHandlers();
    cboSecurityChange();
    centreOnScreen();
    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    ui->PageControl2->setCurrentWidget(ui->TabSheet5);
    ui->Edit2->setFocus();
}

TMainForm::~TMainForm() = default;

void TMainForm::centreOnScreen()
{
    if (const QScreen *s = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        s->availableGeometry()));
}

void TMainForm::runGuarded(const std::function<void()> &handler)
{
    runHandler(*m_prompts, handler);
}

template<typename Sender, typename Signal>
void TMainForm::wire(Sender *sender, Signal signal, void (TMainForm::*handler)())
{
    connect(sender, signal, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
}

void TMainForm::wireHandlers()
{
    wire(ui->Button15, &QPushButton::clicked, &TMainForm::Button15Click);
    wire(ui->Exit1, &QAction::triggered, &TMainForm::Exit1Click);
    wire(ui->cboSecurity, &QComboBox::currentIndexChanged, &TMainForm::cboSecurityChange);
}

std::function<void(const QString &)> TMainForm::logSink()
{
    return [log = m_log](const QString &line) { log->addLine(line); };
}

QStringList TMainForm::logLines()
{
    return m_log->lines();
}

void TMainForm::Button15Click()
{
    m_log->clear();
}

void TMainForm::Exit1Click()
{
    close();
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
                                 : m_authIndexOutOfRange;
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
    selectIndex(ui->cboAuthType, s.ServerAuthComboIndex);
    m_authIndexOutOfRange = s.ServerAuthComboIndex;
    ui->Edit6->setText(s.ServerLogin);
    ui->Edit16->setText(s.ServerPWD);
    ui->Edit7->setText(s.Name);
    ui->Edit8->setText(s.Email);
    ui->cboSecurity->setCurrentIndex(std::clamp(s.ServerSecurity, 0, ui->cboSecurity->count() - 1));
    ui->chkAcceptAnyCertificate->setChecked(s.ServerAcceptAnyCertificate);
}

// RecipientsPage

int TMainForm::selectedListTab() const
{
    return ui->PageControl2->currentIndex();
}

QString TMainForm::newAddressText() const
{
    return ui->Edit1->text();
}

void TMainForm::setNewAddressText(const QString &text)
{
    ui->Edit1->setText(text);
}

void TMainForm::setCountLabel(const QString &text)
{
    ui->Label1->setText(text);
}

void TMainForm::setControlEnabled(RecipientControl control, bool enabled)
{
    QWidget *w = nullptr;
    switch (control) {
    case RecipientControl::Edit1: w = ui->Edit1; break;
    case RecipientControl::BitBtn1: w = ui->BitBtn1; break;
    case RecipientControl::Button6: w = ui->Button6; break;
    case RecipientControl::BitBtn2: w = ui->BitBtn2; break;
    case RecipientControl::BitBtn3: w = ui->BitBtn3; break;
    case RecipientControl::Button3: w = ui->Button3; break;
    case RecipientControl::Button4: w = ui->Button4; break;
    case RecipientControl::Button5: w = ui->Button5; break;
    case RecipientControl::Button17Open: w = ui->Button17Open; break;
    case RecipientControl::Button22: w = ui->Button22; break;
    case RecipientControl::Button13: w = ui->Button13; break;
    case RecipientControl::Button_move_all2: w = ui->Button_move_all2; break;
    }
    if (w)
        w->setEnabled(enabled);
}

void TMainForm::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
}

void TMainForm::setAbortButtonVisible(bool visible)
{
    ui->AbortButton->setVisible(visible);
}

void TMainForm::setProgressMaximum(int maximum)
{
    ui->ProgressBar->setMaximum(maximum);
}

void TMainForm::setProgressPosition(int position)
{
    ui->ProgressBar->setValue(position);
}

} // namespace pelicast
