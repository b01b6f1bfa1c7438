// The activity log view with a million lines: AddLog calls as a send run makes them (a few
// lines, then the event loop), appending to a log that already holds a million lines, and
// "Clear Log" on it. The editor is shown (offscreen unless QT_QPA_PLATFORM says otherwise),
// so painting is paid for as on screen.
#include "ui/ActivityLogView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace pelicast;

namespace {

constexpr int Million = 1000000;
// A send run writes about four lines per recipient, with the event loop between them.
constexpr int LinesPerEventLoopPass = 4;

QString line(int n)
{
    return QStringLiteral("Send Success: Reader %1 <reader%1@example.org>").arg(n);
}

struct ShownLog
{
    QPlainTextEdit editor;
    ActivityLogView log{&editor};
    ShownLog()
    {
        editor.setReadOnly(true);
        editor.setUndoRedoEnabled(false);
        editor.resize(673, 329);
        editor.show();
        QApplication::processEvents();
    }
    void fill(int lines)
    {
        for (int i = 0; i < lines; ++i)
            log.addLine(line(i));
        log.flush();
        QApplication::processEvents();
    }
};

void BM_MillionAddLogCallsLikeARun(benchmark::State &state)
{
    for (auto _ : state) {
        ShownLog shown;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Million; ++i) {
            shown.log.addLine(line(i));
            if (i % LinesPerEventLoopPass == 0)
                QApplication::processEvents();
        }
        shown.log.flush();
        QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["ns_per_line"] = double(timer.nsecsElapsed()) / Million;
    }
}
BENCHMARK(BM_MillionAddLogCallsLikeARun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The cost of one more line once the log holds a million: each line shown at once, as when
// a slow server gives the log one line per event-loop pass.
void BM_LineShownAtAMillion(benchmark::State &state)
{
    ShownLog shown;
    shown.fill(Million);
    int n = Million;
    for (auto _ : state) {
        shown.log.addLine(line(n++));
        shown.log.flush();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LineShownAtAMillion)->Unit(benchmark::kMicrosecond);

void BM_ClearLogAtAMillion(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        ShownLog shown;
        shown.fill(Million);
        state.ResumeTiming();
        shown.log.clear();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ClearLogAtAMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
