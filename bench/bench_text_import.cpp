// The address text import and export on a large file, end to end: questions answered, the
// event loop driven until the import has finished, the status text set after every stored
// line. bench/import_vs_sort.sh runs it beside sort -u on the same file.
//
// Environment:
//   PELICAST_BENCH_FILE  the address file to import (default: one generated in /tmp,
//                        1,000,000 lines of about 40 bytes, 5% duplicates)
//   LC_ALL               the locale whose collation orders an All in address order
#include "common/Error.h"
#include "recipients/AbortFlag.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"
#include "recipients/TextExport.h"
#include "recipients/TextImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include <sys/resource.h>

using namespace pelicast;

namespace {

class BenchPage : public RecipientsPage
{
public:
    qint64 statusUpdates = 0;
    QString status;
    int selectedListTab() const override { return 0; }
    QString newAddressText() const override { return {}; }
    void setNewAddressText(const QString &) override {}
    void setCountLabel(const QString &) override {}
    void setControlEnabled(RecipientControl, bool) override {}
    void setStatusText(const QString &text) override
    {
        status = text;
        ++statusUpdates;
    }
    void setAbortButtonVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
};

class BenchPrompts : public Prompts
{
public:
    QString file;
    Answer warningYesNoCancel(const QString &) override { return Answer::No; }
    bool confirmOkCancel(const QString &) override { return false; }
    bool confirmYesNo(const QString &) override { return false; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    void message(const QString &) override {}
    void error(const QString &) override {}
    std::optional<QString> openFile(const FileDialogSpec &) override { return file; }
    std::optional<QString> saveFile(const FileDialogSpec &) override { return file; }
};

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// 1,000,000 lines of about 40 bytes in random order, 5% of them repeating earlier lines.
QString generatedFile()
{
    const QString path = scratch().filePath(QStringLiteral("addresses.txt"));
    if (QFile::exists(path))
        return path;
    QRandomGenerator rng(7);
    const int unique = 950000;
    std::vector<QByteArray> lines;
    lines.reserve(1000000);
    for (int i = 0; i < unique; ++i) {
        lines.push_back("Recipient " + QByteArray::number(rng.bounded(100000, 999999)) + " <user"
                        + QByteArray::number(i) + "@example" + QByteArray::number(i % 97)
                        + ".org>");
    }
    for (int i = unique; i < 1000000; ++i)
        lines.push_back(lines[size_t(rng.bounded(unique))]);
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (const QByteArray &line : lines)
        f.write(line + "\r\n");
    return path;
}

QString inputFile()
{
    const QByteArray given = qgetenv("PELICAST_BENCH_FILE");
    return given.isEmpty() ? generatedFile() : QString::fromLocal8Bit(given);
}

double peakMegabytes()
{
    struct rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void importInto(benchmark::State &state, bool fileOrder)
{
    const QString file = inputFile();
    for (auto _ : state) {
        RecipientLists lists;
        lists.openAll();
        if (fileOrder) { // as after a start with a state file
            lists.MainTable.beginLoad(false);
            lists.MainTable.finishLoad();
        }
        BenchPage page;
        BenchPrompts prompts;
        prompts.file = file;
        AbortFlag abort;
        TextImport import(lists, page, prompts, abort);
        QString error;
        QObject::connect(&import, &TextImport::failed, [&](const QString &e) { error = e; });
        QEventLoop loop;
        QObject::connect(&import, &TextImport::finished, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);

        QElapsedTimer timer;
        timer.start();
        if (import.start())
            loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);

        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
        state.counters["lines"] = double(import.linesRead());
        state.counters["duplicates"] = double(import.duplicates());
        state.counters["status_updates"] = double(page.statusUpdates);
        state.counters["stored"] = double(lists.MainTable.count());
        state.counters["peak_MB"] = peakMegabytes();
    }
}

void BM_ImportFileOrder(benchmark::State &state)
{
    importInto(state, true);
}

void BM_ImportAddressOrder(benchmark::State &state)
{
    importInto(state, false);
}

void BM_Export(benchmark::State &state)
{
    RecipientLists lists;
    lists.openAll();
    lists.MainTable.beginLoad(false, 1000000);
    for (int i = 0; i < 1000000; ++i)
        lists.MainTable.addLoadedRecordUtf8("Recipient " + QByteArray::number(100000 + i % 900000)
                                                + " <user" + QByteArray::number(i)
                                                + "@example.org>",
                                            RecipientList::Added);
    lists.MainTable.finishLoad();
    BenchPage page;
    BenchPrompts prompts;
    AbortFlag abort;
    const QString path = scratch().filePath(QStringLiteral("export.txt"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        try {
            TextExport(lists, page, prompts, abort).writeList(lists.MainTable, path);
        } catch (const Error &e) {
            state.SkipWithError(e.what());
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.counters["bytes"] = double(QFile(path).size());
    }
}

} // namespace

BENCHMARK(BM_ImportFileOrder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportAddressOrder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Export)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
