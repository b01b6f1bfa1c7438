// RecipientList at the size of a large mailing: 1,000,000 addresses of about 40 characters.
//
// The address order follows the user's default locale (LC_ALL / LC_COLLATE / LANG), so run
// it once with LANG=en_US.UTF-8 and once with LANG=C:
//   LANG=en_US.UTF-8 build/bench/bench/bench_recipient_list --benchmark_repetitions=5
// Figures per operation are the counters ("time/op", "bytes/record"); take the medians.

#include "recipients/AddressCollation.h"
#include "recipients/RecipientList.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using pelicast::AddressCollation;
using pelicast::RecipientList;

namespace {

constexpr int ListSize = 1'000'000;

// "Kamilo.tasaneru123456@mail.example.org" style addresses, 40 characters on average,
// unique, in random order.
std::vector<QString> makeAddresses()
{
    static const char *const syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "to", "vi",
                                            "da", "fe", "go", "hu", "ja", "be", "zo", "pi"};
    static const char *const hosts[] = {"mail.example.org", "post.example.net",
                                        "mailbox.example.com", "inbox.example.de"};
    std::mt19937 rng(20240611);
    auto word = [&](int n) {
        QString w;
        for (int i = 0; i < n; ++i)
            w += QLatin1String(syllables[rng() % 16]);
        return w;
    };
    std::vector<QString> out;
    out.reserve(ListSize);
    for (int i = 0; i < ListSize; ++i) {
        QString first = word(3), last = word(4);
        first[0] = first[0].toUpper();
        out.push_back(first + QLatin1Char('.') + last + QString::number(i) + QLatin1Char('@')
                      + QLatin1String(hosts[rng() % 4]));
    }
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

const std::vector<QString> &randomOrder()
{
    static const std::vector<QString> addresses = makeAddresses();
    return addresses;
}

// The same addresses in the list's address order under the user's default locale.
const std::vector<QString> &addressOrder()
{
    static const std::vector<QString> sorted = [] {
        const AddressCollation &collation = AddressCollation::userDefault();
        std::vector<std::pair<QByteArray, QString>> keyed;
        keyed.reserve(ListSize);
        for (const QString &a : randomOrder())
            keyed.emplace_back(collation.sortPrefix(a) + a.toUtf8(), a);
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto &x, const auto &y) { return x.first < y.first; });
        std::vector<QString> out;
        out.reserve(ListSize);
        for (auto &k : keyed)
            out.push_back(k.second);
        return out;
    }();
    return sorted;
}

std::unique_ptr<RecipientList> buildList(const std::vector<QString> &addresses)
{
    auto list = std::make_unique<RecipientList>(QStringLiteral("MainTableIndex"));
    list->OpenList();
    for (const QString &a : addresses)
        list->AppendAddress(a);
    return list;
}

// A full list shared by the read-only benchmarks.
RecipientList &sharedList()
{
    static const std::unique_ptr<RecipientList> list = buildList(addressOrder());
    return *list;
}

QString localeLabel()
{
    const AddressCollation &c = AddressCollation::userDefault();
    return c.isCodePointOrder() ? QStringLiteral("code-point order")
                                : QStringLiteral("collation ") + QString::fromLatin1(c.localeName());
}

// CPU time per operation, shown as seconds with an SI prefix ("850n" is 850 ns).
void setTimePerOp(benchmark::State &state, double ops)
{
    state.counters["time/op"] =
        benchmark::Counter(ops, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void appendBench(benchmark::State &state, const std::vector<QString> &input)
{
    for (auto _ : state) {
        RecipientList list(QStringLiteral("MainTableIndex"));
        list.OpenList();
        for (const QString &a : input)
            list.AppendAddress(a);
        benchmark::DoNotOptimize(list.count());
        state.PauseTiming(); // the list's destruction is not an append
        list.CloseList();
        state.ResumeTiming();
    }
    setTimePerOp(state, double(input.size()) * double(state.iterations()));
    state.SetLabel(localeLabel().toStdString());
}

void BM_AppendInAddressOrder(benchmark::State &state)
{
    appendBench(state, addressOrder());
}

void BM_AppendInRandomOrder(benchmark::State &state)
{
    appendBench(state, randomOrder());
}

// The addresses to look up, in random order but each a fresh copy made in that order: the
// text to look up is at hand in memory, as a line just read is; only the list is cold.
const std::vector<QString> &lookups()
{
    static const std::vector<QString> copies = [] {
        std::vector<QString> out;
        out.reserve(ListSize);
        for (const QString &a : randomOrder())
            out.emplace_back(a.constData(), a.size());
        return out;
    }();
    return copies;
}

void BM_FindAddress(benchmark::State &state)
{
    RecipientList &list = sharedList();
    const std::vector<QString> &probes = lookups();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.FindAddress(probes[i]));
        i = (i + 1) % probes.size();
    }
    setTimePerOp(state, double(state.iterations()));
}

// The send run's pattern: read the first address, delete it, take the next; a full list
// is emptied this way.
void BM_DeleteFirstTakeNext(benchmark::State &state)
{
    std::unique_ptr<RecipientList> list;
    for (auto _ : state) {
        state.PauseTiming();
        list = buildList(addressOrder());
        state.ResumeTiming();
        list->GoFirst();
        while (list->count() > 0) {
            benchmark::DoNotOptimize(list->Address());
            list->DeleteCurrent();
        }
    }
    setTimePerOp(state, double(ListSize) * double(state.iterations()));
}

// The export's pattern: step on and report the position.
void BM_GoNextRecordPosition(benchmark::State &state)
{
    RecipientList &list = sharedList();
    list.GoFirst();
    for (auto _ : state) {
        list.GoNext();
        if (list.AtEnd())
            list.GoFirst();
        benchmark::DoNotOptimize(list.RecordPosition());
    }
    setTimePerOp(state, double(state.iterations()));
}

// FindAddress of a random address followed by its position: what an import asks per line.
void BM_FindThenRecordPosition(benchmark::State &state)
{
    RecipientList &list = sharedList();
    const std::vector<QString> &probes = lookups();
    size_t i = 0;
    for (auto _ : state) {
        list.FindAddress(probes[i]);
        benchmark::DoNotOptimize(list.RecordPosition());
        i = (i + 1) % probes.size();
    }
    setTimePerOp(state, double(state.iterations()));
}

// What the grid asks for a visible row.
void BM_RowAccess(benchmark::State &state)
{
    RecipientList &list = sharedList();
    std::mt19937 rng(9);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.addressAt(int(rng() % ListSize)));
    setTimePerOp(state, double(state.iterations()));
}

// The machine's cost of one dependent load from a random place in 256 MB: what a lookup in
// a list this large cannot avoid paying once or twice. A reference for the figures above.
void BM_RandomMemoryLoad(benchmark::State &state)
{
    const size_t n = (size_t(256) << 20) / sizeof(size_t);
    std::vector<size_t> next(n), order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = i;
    std::shuffle(order.begin() + 1, order.end(), std::mt19937_64(3));
    for (size_t i = 0; i < n; ++i)
        next[order[i]] = order[(i + 1) % n];
    size_t at = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(at = next[at]);
    setTimePerOp(state, double(state.iterations()));
}

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

size_t residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

// Memory of a list of 1M records, everything it allocates: records, order, index.
void BM_MemoryPerRecord(benchmark::State &state)
{
    const std::vector<QString> &input = addressOrder();
    double heapPerRecord = 0, rssPerRecord = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t heap0 = heapInUse(), rss0 = residentBytes();
        auto list = buildList(input);
        heapPerRecord = double(heapInUse() - heap0) / ListSize;
        rssPerRecord = double(residentBytes() - rss0) / ListSize;
        benchmark::DoNotOptimize(list->count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    // The index table is mapped on its own and shows in the resident size only.
    state.counters["malloc_bytes/record"] = heapPerRecord;
    state.counters["rss_bytes/record"] = rssPerRecord;
    qsizetype characters = 0;
    for (const QString &a : input)
        characters += a.size();
    state.counters["chars/address"] = double(characters) / ListSize;
}

} // namespace

// First, while the heap is fresh, so that the resident-size delta means something.
BENCHMARK(BM_MemoryPerRecord)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppendInAddressOrder)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppendInRandomOrder)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FindAddress);
BENCHMARK(BM_DeleteFirstTakeNext)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GoNextRecordPosition);
BENCHMARK(BM_FindThenRecordPosition);
BENCHMARK(BM_RowAccess);
BENCHMARK(BM_RandomMemoryLoad);

BENCHMARK_MAIN();
