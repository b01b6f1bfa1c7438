#include "support/RecordingSendRunView.h"

namespace pelicast::test {

namespace {
QString onOff(bool on)
{
    return on ? QStringLiteral(" on") : QStringLiteral(" off");
}
} // namespace

QStringList RecordingSendRunView::eventsStartingWith(const QString &prefix) const
{
    QStringList out;
    for (const QString &e : events)
        if (e.startsWith(prefix))
            out << e;
    return out;
}

QStringList RecordingSendRunView::log() const
{
    QStringList out;
    for (const QString &e : eventsStartingWith(QStringLiteral("log: ")))
        out << e.mid(5);
    return out;
}

QString RecordingSendRunView::controlName(RecipientControl control)
{
    switch (control) {
    case RecipientControl::Edit1: return QStringLiteral("Edit1");
    case RecipientControl::BitBtn1: return QStringLiteral("BitBtn1");
    case RecipientControl::Button6: return QStringLiteral("Button6");
    case RecipientControl::BitBtn2: return QStringLiteral("BitBtn2");
    case RecipientControl::BitBtn3: return QStringLiteral("BitBtn3");
    case RecipientControl::Button3: return QStringLiteral("Button3");
    case RecipientControl::Button4: return QStringLiteral("Button4");
    case RecipientControl::Button5: return QStringLiteral("Button5");
    case RecipientControl::Button17Open: return QStringLiteral("Button17Open");
    case RecipientControl::Button22: return QStringLiteral("Button22");
    case RecipientControl::Button13: return QStringLiteral("Button13");
    case RecipientControl::Button_move_all2: return QStringLiteral("Button_move_all2");
    }
    return QStringLiteral("control %1").arg(int(control));
}

void RecordingSendRunView::showStatisticsTab()
{
    events << QStringLiteral("statistics tab");
}

void RecordingSendRunView::setStopButtonsVisible(bool visible)
{
    events << (visible ? QStringLiteral("stop buttons shown") : QStringLiteral("stop buttons hidden"));
}

void RecordingSendRunView::setMessageTabEnabled(bool enabled)
{
    events << QStringLiteral("message tab") + onOff(enabled);
}

void RecordingSendRunView::setListGridsEnabled(bool enabled)
{
    events << QStringLiteral("grids") + onOff(enabled);
}

void RecordingSendRunView::setListTabHandlerAttached(bool attached)
{
    events << (attached ? QStringLiteral("list-tab handler attached")
                        : QStringLiteral("list-tab handler detached"));
}

void RecordingSendRunView::setListCommandEnabled(RecipientControl control, bool enabled)
{
    events << controlName(control) + onOff(enabled);
}

void RecordingSendRunView::setSettingsTabEnabled(bool enabled)
{
    events << QStringLiteral("settings tab") + onOff(enabled);
}

void RecordingSendRunView::setSendEnabled(bool enabled)
{
    events << QStringLiteral("send") + onOff(enabled);
}

void RecordingSendRunView::setProgressMaximum(int maximum)
{
    events << QStringLiteral("progress max %1").arg(maximum);
}

void RecordingSendRunView::setProgressPosition(int position)
{
    events << QStringLiteral("progress %1").arg(position);
}

void RecordingSendRunView::RefreshRecipientCount()
{
    events << QStringLiteral("count");
}

void RecordingSendRunView::PageControl2Change()
{
    events << QStringLiteral("PageControl2Change");
}

void RecordingSendRunView::showError(const QString &text)
{
    events << QStringLiteral("error: ") + text;
}

} // namespace pelicast::test
