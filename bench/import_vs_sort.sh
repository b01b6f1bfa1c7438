#!/usr/bin/env bash
# The address text import beside sort -u on the same file.
#
# Generates a file of 1,000,000 addresses (about 40 bytes a line, CR LF, 5% of the lines
# repeating earlier ones, random order), then, round by round so that both see the same
# machine load, times:
#   - LC_ALL=C sort -u, and the import into an All in file order;
#   - sort -u and the import into an All in address order, under C and under en_US.UTF-8;
#   - the export of 1,000,000 addresses.
# The import runs end to end in bench_text_import (questions answered, the event loop driven
# until it has finished, the status text set after every stored line). Prints the medians
# of wall time and CPU time, the ratio import / sort -u, and the peak memory of the imports.
#
# Usage: bench/import_vs_sort.sh [build-dir] [rounds]     (defaults: build/bench, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
rounds=${2:-5}
bench=$build/bench/bench_text_import

if [[ ! -x $bench ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELICAST_BUILD_BENCH=ON \
    -DPELICAST_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target bench_text_import >/dev/null
fi
locale -a | grep -qi '^en_US.utf-\?8$' || { echo "en_US.UTF-8 locale missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/addresses.txt
python3 - "$file" <<'PY'
import random, sys
random.seed(7)
total, unique = 1_000_000, 950_000
lines = [b"Recipient %d <user%d@example%d.org>" % (random.randrange(100000, 999999), i, i % 97)
         for i in range(unique)]
lines += [lines[random.randrange(unique)] for _ in range(total - unique)]
random.shuffle(lines)
with open(sys.argv[1], "wb") as f:
    f.write(b"".join(line + b"\r\n" for line in lines))
PY
echo "file: $(wc -l <"$file") lines, $(stat -c %s "$file") bytes; $(nproc) cores," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"

results=$work/results.txt
: >"$results"

# Runs a command with its output into a file; prints "<wall s> <cpu s> <peak KB>".
measure() {
  local out=$1
  shift
  python3 -c '
import resource, subprocess, sys, time
start = time.perf_counter()
with open(sys.argv[1], "wb") as out:
    subprocess.run(sys.argv[2:], stdout=out, stderr=subprocess.DEVNULL, check=True)
wall = time.perf_counter() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{wall:.3f} {usage.ru_utime + usage.ru_stime:.3f} {usage.ru_maxrss}")
' "$out" "$@"
}

# sort -u under a locale: one line "<case> sort <wall s> <cpu s> <peak KB>".
time_sort() {
  local case=$1 loc=$2
  echo "$case sort $(measure /dev/null env LC_ALL="$loc" sort -u "$file")" >>"$results"
}

# One benchmark of bench_text_import in its own process, so that its peak memory is its own;
# the times are the benchmark's own (the import from start() to finished()).
run_bench() {
  local case=$1 loc=$2 name=$3
  read -r _ _ peak < <(measure "$work/b.json" env LC_ALL="$loc" PELICAST_BENCH_FILE="$file" \
    "$bench" --benchmark_filter="^$name/" --benchmark_format=json)
  python3 - "$work/b.json" "$case" "$peak" >>"$results" <<'PY'
import json, sys
b = [x for x in json.load(open(sys.argv[1]))["benchmarks"] if x.get("run_type") == "iteration"]
if b[0].get("error_occurred"):
    sys.exit("benchmark failed: " + b[0].get("error_message", ""))
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b[0]["time_unit"]]
wall = sorted(x["real_time"] for x in b)[len(b) // 2] * scale
cpu = sorted(x["cpu_time"] for x in b)[len(b) // 2] * scale
print(f"{sys.argv[2]} import {wall:.3f} {cpu:.3f} {sys.argv[3]}")
PY
}

for ((r = 1; r <= rounds; r++)); do
  echo "round $r/$rounds" >&2
  time_sort file-C C
  run_bench file-C C BM_ImportFileOrder
  time_sort address-C C
  run_bench address-C C BM_ImportAddressOrder
  time_sort address-en en_US.UTF-8
  run_bench address-en en_US.UTF-8 BM_ImportAddressOrder
  run_bench export C BM_Export
done

python3 - "$results" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
def med(case, tool, col):
    return statistics.median(float(r[col]) for r in rows if r[0] == case and r[1] == tool)
titles = {"file-C": "All in file order, LC_ALL=C",
          "address-C": "All in address order, LC_ALL=C",
          "address-en": "All in address order, LC_ALL=en_US.UTF-8"}
print(f"\nmedians of {sum(1 for r in rows if r[0] == 'export')} rounds"
      "            import wall/cpu    sort -u wall/cpu   ratio wall/cpu  (target <= 1.5)")
peak = 0.0
for case, title in titles.items():
    iw, ic, sw, sc = med(case, "import", 2), med(case, "import", 3), med(case, "sort", 2), med(case, "sort", 3)
    peak = max(peak, max(float(r[4]) for r in rows if r[0] == case and r[1] == "import") / 1024)
    print(f"{title:42} {iw:6.2f} s {ic:6.2f} s   {sw:6.2f} s {sc:6.2f} s   {iw / sw:5.2f} {ic / sc:5.2f}")
print(f"peak memory of an import process: {peak:.0f} MB (target <= 200 MB)")
print(f"export of 1,000,000 addresses: {med('export', 'import', 2):.3f} s wall (target < 0.5 s)")
PY
