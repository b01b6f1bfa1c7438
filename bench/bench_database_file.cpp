// Database file of 1,000,000 addresses of 40 characters: save, load (with the index
// rebuild) and the load's peak memory against the size of the list it builds.
// Targets: save <= 0.3 s, load <= 0.8 s, peak <= 2x the list.
//
// Peak memory is taken two ways: the heap, counted by this program's operator new (exact,
// short-lived peaks included), and the resident set, sampled every 0.2 ms from
// /proc/self/statm (the kernel's high-water mark is not reset reliably within a process).

#include "recipients/AddressCollation.h"
#include "recipients/DatabaseFile.h"
#include "recipients/RecipientList.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <new>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<long long> heapNow{0};
std::atomic<long long> heapPeak{0};

void *counted(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const long long now = heapNow += (long long)malloc_usable_size(p);
    long long peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void uncounted(void *p) noexcept
{
    if (p) {
        heapNow -= (long long)malloc_usable_size(p);
        std::free(p);
    }
}

} // namespace

void *operator new(std::size_t size) { return counted(size); }
void *operator new[](std::size_t size) { return counted(size); }
void operator delete(void *p) noexcept { uncounted(p); }
void operator delete[](void *p) noexcept { uncounted(p); }
void operator delete(void *p, std::size_t) noexcept { uncounted(p); }
void operator delete[](void *p, std::size_t) noexcept { uncounted(p); }

using namespace pelicast;

namespace {

constexpr int RecordCount = 1'000'000;

const AddressCollation &codePoints()
{
    static const AddressCollation c("C");
    return c;
}

QString filePath(const char *name)
{
    return QDir::temp().filePath(QString::fromLatin1(name));
}

// The list to save, built once: "recipient0000000@example-mail-domain.org" and on.
RecipientList &bigList()
{
    static std::unique_ptr<RecipientList> list = [] {
        auto l = std::make_unique<RecipientList>(QStringLiteral("MainTableIndex"), &codePoints());
        l->OpenList();
        l->beginLoad(false, RecordCount);
        for (int i = 0; i < RecordCount; ++i) {
            const QByteArray address =
                QByteArray("recipient") + QByteArray::number(i).rightJustified(7, '0')
                + "@example-mail-domain.org";
            l->addLoadedRecordUtf8(address, RecipientList::Added);
        }
        l->finishLoad();
        return l;
    }();
    return *list;
}

// The file to load, written once.
QString bigFile()
{
    static const QString path = [] {
        const QString p = filePath("pelicast_bench_load.sdb");
        SaveDatabaseFile(bigList(), p);
        return p;
    }();
    return path;
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Samples the resident set on a thread of its own until stopped; keeps the highest.
class ResidentPeak
{
public:
    ResidentPeak()
        : m_thread([this] {
              while (!m_stop) {
                  m_peak = std::max<qint64>(m_peak, residentBytes());
                  std::this_thread::sleep_for(std::chrono::microseconds(200));
              }
          })
    {
    }
    qint64 stop()
    {
        m_stop = true;
        m_thread.join();
        return std::max<qint64>(m_peak, residentBytes());
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_peak{0};
    std::thread m_thread;
};

void BM_LoadPeakMemory(benchmark::State &state)
{
    const QString path = bigFile();
    double heapList = 0, heapLoadPeak = 0, rssList = 0, rssLoadPeak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const long long heapBefore = heapNow;
        heapPeak = heapBefore;
        const qint64 rssBefore = residentBytes();
        ResidentPeak sampler;
        state.ResumeTiming();
        auto list = std::make_unique<RecipientList>(QStringLiteral("MainTableIndex"), &codePoints());
        list->OpenList();
        LoadDatabaseFile(*list, path);
        state.PauseTiming();
        const qint64 rssPeak = sampler.stop();
        heapList = double(heapNow - heapBefore);
        heapLoadPeak = double(heapPeak - heapBefore);
        rssList = double(residentBytes() - rssBefore);
        rssLoadPeak = double(rssPeak - rssBefore);
        if (list->count() != RecordCount)
            state.SkipWithError("wrong count");
        list.reset();
        state.ResumeTiming();
    }
    state.counters["heap_list_MB"] = heapList / 1e6;
    state.counters["heap_peak_MB"] = heapLoadPeak / 1e6;
    state.counters["heap_ratio"] = heapLoadPeak / heapList;
    state.counters["rss_list_MB"] = rssList / 1e6;
    state.counters["rss_peak_MB"] = rssLoadPeak / 1e6;
    state.counters["rss_ratio"] = rssLoadPeak / rssList;
}

void BM_Save(benchmark::State &state)
{
    RecipientList &list = bigList();
    const QString path = filePath("pelicast_bench_save.sdb");
    for (auto _ : state)
        SaveDatabaseFile(list, path);
    state.counters["bytes"] = double(QFile(path).size());
    QFile::remove(path);
}

void BM_Load(benchmark::State &state)
{
    const QString path = bigFile();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<RecipientList>(QStringLiteral("MainTableIndex"), &codePoints());
        list->OpenList();
        state.ResumeTiming();
        LoadDatabaseFile(*list, path);
        state.PauseTiming();
        if (list->count() != RecordCount)
            state.SkipWithError("wrong count");
        list.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_LoadPeakMemory)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_Save)->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_Load)->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
