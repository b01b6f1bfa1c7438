#include "ui/ActivityLogView.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

namespace pelicast {

namespace {
// Often enough to look live, rarely enough that painting never dominates a fast run.
constexpr int FlushIntervalMs = 40;
} // namespace

ActivityLogView::ActivityLogView(QPlainTextEdit *editor, QObject *parent)
    : QObject(parent), m_editor(editor)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ActivityLogView::flush);
}

void ActivityLogView::addLine(const QString &line)
{
    m_pending << line;
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void ActivityLogView::clear()
{
    m_pending.clear();
    m_flushTimer.stop();
    m_editor->clear();
    m_hasLines = false;
}

void ActivityLogView::flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    // The view follows the end of the log unless the user has scrolled away from it, also
    // while the log's tab is not in front (appendPlainText() alone follows only a visible
    // editor).
    QScrollBar *bar = m_editor->verticalScrollBar();
    const bool follow = bar->value() >= bar->maximum();
    QString text = m_pending.join(u'\n');
    // An editor holding one empty line looks empty to appendPlainText(), which would write
    // into that line instead of after it.
    if (m_hasLines && m_editor->document()->isEmpty())
        text.prepend(u'\n');
    m_editor->appendPlainText(text);
    if (follow)
        bar->setValue(bar->maximum());
    m_pending.clear();
    m_hasLines = true;
}

QStringList ActivityLogView::lines()
{
    flush();
    QStringList out;
    if (!m_hasLines) // an empty editor still holds one empty block
        return out;
    for (QTextBlock b = m_editor->document()->begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

} // namespace pelicast
