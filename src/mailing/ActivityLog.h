#pragma once

#include <QString>
#include <functional>

namespace pelicast {

// Where the activity log lines go: the window's log view, a test's list of lines, or the
// command-line tool's standard output. Each AddLog() call is one line, unchanged.
using LogSink = std::function<void(const QString &line)>;

class ActivityLog
{
public:
    void setSink(LogSink sink) { m_sink = std::move(sink); }
    void AddLog(const QString &line) const
    {
        if (m_sink)
            m_sink(line);
    }

private:
    LogSink m_sink;
};

} // namespace pelicast
