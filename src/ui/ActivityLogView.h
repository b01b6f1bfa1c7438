#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class QPlainTextEdit;

namespace pelicast {

// Feeds the activity log's lines into the log editor (LogMemo). A send run can write
// thousands of lines a second and the log has no length limit, so lines are gathered and
// appended as one block at most every few milliseconds: the cost of a line stays the same
// with a million lines in the log, and the editor repaints once per block, not per line.
class ActivityLogView : public QObject
{
    Q_OBJECT
public:
    explicit ActivityLogView(QPlainTextEdit *editor, QObject *parent = nullptr);

    // One AddLog line, unchanged.
    void addLine(const QString &line);
    // Empties the log, lines not yet shown included.
    void clear();
    // Appends the gathered lines now.
    void flush();
    // Every line of the log, the gathered ones included.
    QStringList lines();

private:
    QPlainTextEdit *m_editor;
    QStringList m_pending;
    QTimer m_flushTimer;
    bool m_hasLines = false;
};

} // namespace pelicast
