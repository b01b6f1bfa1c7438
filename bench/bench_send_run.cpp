// A whole send run against a real SMTP server on this machine (send_vs_smtplib.sh starts
// Postfix's smtp-sink for it): --port=<port> [--count=<recipients>].
//
// Reports, per run:
//   msgs_per_s        recipients dealt with per second of wall time, Send to finished();
//   run_us_per_rcpt   CPU time of the run's own steps per recipient, measured with this
//                     thread's CPU clock around each event delivered to the run's objects
//                     (time the shared CPU spends in the server does not count), the sum of
//     send_call_us_per_rcpt   events of the SendRun: the stop check, reading the address
//                             and the send call, which personalises and composes the
//                             message and writes its first command, and
//     after_send_us_per_rcpt  the Mailer's delivery of the result: moving the address,
//                             the periodic close, the count, the progress, the log lines;
//   cpu_user_us_per_rcpt, cpu_sys_us_per_rcpt
//                     all CPU time of this process per recipient from Send to finished()
//                     (the SMTP client's reading and writing and Qt's event loop included),
//                     split user / kernel, as smtplib_send.py reports its own.
// The log is kept in memory as the window's log view keeps it; the window is a stand-in
// that keeps the progress values and the count label's text.
#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/SendRun.h"
#include "mailing/SendRunView.h"
#include "recipients/RecipientLists.h"
#include "shell/ServerSettings.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>

#include <sys/resource.h>
#include <time.h>

#include <cstring>
#include <string>
#include <vector>

using namespace pelicast;

namespace {

int g_port = 0;
int g_count = 10000;

qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct CpuTimes
{
    double userUs = 0;
    double sysUs = 0;
};

CpuTimes processTimes()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return {ru.ru_utime.tv_sec * 1e6 + ru.ru_utime.tv_usec,
            ru.ru_stime.tv_sec * 1e6 + ru.ru_stime.tv_usec};
}

// Times the events delivered to the objects of the run.
class TimingApplication : public QCoreApplication
{
public:
    using QCoreApplication::QCoreApplication;

    const QObject *run = nullptr;
    const QObject *mailer = nullptr;
    qint64 stepNs = 0;   // events of the SendRun: stop check, address, the send call
    qint64 resultNs = 0; // the mailer's result delivery: move, close, count, progress

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (receiver != run && receiver != mailer)
            return QCoreApplication::notify(receiver, event);
        const qint64 start = threadCpuNs();
        const bool result = QCoreApplication::notify(receiver, event);
        (receiver == run ? stepNs : resultNs) += threadCpuNs() - start;
        return result;
    }
};

// The window, reduced to the state it would show.
class MemoryView : public SendRunView
{
public:
    explicit MemoryView(RecipientLists &lists) : m_lists(lists) {}
    QString countLabel;
    int maximum = 0;
    int position = 0;

    void showStatisticsTab() override {}
    void setStopButtonsVisible(bool) override {}
    void setMessageTabEnabled(bool) override {}
    void setListGridsEnabled(bool) override {}
    void setListTabHandlerAttached(bool) override {}
    void setListCommandEnabled(RecipientControl, bool) override {}
    void setSettingsTabEnabled(bool) override {}
    void setSendEnabled(bool) override {}
    void setProgressMaximum(int m) override { maximum = m; }
    void setProgressPosition(int p) override { position = p; }
    void RefreshRecipientCount() override
    {
        countLabel = QString::number(m_lists.MainTable.AddressCount());
    }
    void PageControl2Change() override { RefreshRecipientCount(); }
    void showError(const QString &text) override { error = text; }
    QString error;

private:
    RecipientLists &m_lists;
};

MessageDraft newsletter()
{
    MessageDraft draft;
    draft.Subject = QStringLiteral("News for %NAME%");
    draft.HTML = true;
    draft.EncodingComboIndex = 18; // UTF-8
    draft.Body << QStringLiteral("<html><body>") << QStringLiteral("<p>Dear %NAME%,</p>");
    for (int i = 0; i < 20; ++i)
        draft.Body << QStringLiteral("<p>Line %1 of this month's letter, written for %NAME% "
                                     "and nobody else.</p>")
                          .arg(i);
    draft.Body << QStringLiteral("</body></html>");
    return draft;
}

void BM_SendRun(benchmark::State &state)
{
    auto *app = static_cast<TimingApplication *>(QCoreApplication::instance());
    if (g_port <= 0) {
        state.SkipWithError("needs --port=<port of an SMTP sink on 127.0.0.1>");
        return;
    }
    for (auto _ : state) {
        RecipientLists lists;
        lists.openAll();
        for (int i = 1; i <= g_count; ++i)
            lists.MainTable.AppendAddress(
                QStringLiteral("Reader %1 <r%1@example.org>").arg(i, 6, 10, QLatin1Char('0')));

        ActivityLog log;
        QStringList lines;
        lines.reserve(g_count * 3);
        log.setSink([&lines](const QString &line) { lines << line; });
        MemoryView view(lists);
        Mailer mailer(log);
        SendRun run(mailer, lists, log, view);
        app->run = &run;
        app->mailer = &mailer;
        app->stepNs = 0;
        app->resultNs = 0;

        MessageDraft draft = newsletter();
        ServerSettings settings;
        settings.Server = QStringLiteral("127.0.0.1");
        settings.ServerPort = QString::number(g_port);
        settings.Name = QStringLiteral("Pelicast Bench");
        settings.Email = QStringLiteral("bench@example.org");

        QEventLoop loop;
        QObject::connect(&run, &SendRun::finished, &loop, &QEventLoop::quit);
        const CpuTimes before = processTimes();
        QElapsedTimer wall;
        wall.start();
        run.Button2Click(draft, settings);
        loop.exec();
        const double seconds = wall.nsecsElapsed() / 1e9;
        const CpuTimes after = processTimes();
        state.SetIterationTime(seconds);

        const int sent = lists.SuccessTable.AddressCount();
        if (sent != g_count || !view.error.isEmpty()) {
            state.SkipWithError(qPrintable(QStringLiteral("%1 of %2 sent, %3 failed %4")
                                               .arg(sent)
                                               .arg(g_count)
                                               .arg(lists.ErrorTable.AddressCount())
                                               .arg(view.error)));
            return;
        }
        state.counters["msgs_per_s"] = sent / seconds;
        state.counters["run_us_per_rcpt"] = (app->stepNs + app->resultNs) / 1e3 / sent;
        state.counters["send_call_us_per_rcpt"] = app->stepNs / 1e3 / sent;
        state.counters["after_send_us_per_rcpt"] = app->resultNs / 1e3 / sent;
        state.counters["cpu_user_us_per_rcpt"] = (after.userUs - before.userUs) / sent;
        state.counters["cpu_sys_us_per_rcpt"] = (after.sysUs - before.sysUs) / sent;
        state.counters["log_lines"] = double(lines.size());
        app->run = nullptr;
        app->mailer = nullptr;
    }
}
BENCHMARK(BM_SendRun)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Our own flags first; Google Benchmark refuses flags it does not know.
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--port=", 7) == 0)
            g_port = std::stoi(argv[i] + 7);
        else if (std::strncmp(argv[i], "--count=", 8) == 0)
            g_count = std::stoi(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    TimingApplication app(restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
