#!/usr/bin/env bash
# Messages per second of a whole send run against Postfix's smtp-sink on 127.0.0.1, side by
# side with Python's smtplib doing the same command sequence against the same sink.
#
#   bench/send_vs_smtplib.sh [RECIPIENTS=10000] [RUNS=5] [BUILD_DIR=build/bench]
#
# The sink and both clients are pinned to CPU 0 (taskset -c 0): on a virtual machine the
# wake-ups across CPUs cost more than the loopback round trips themselves and would drown
# the difference between the clients. The runs alternate (Pelicast, smtplib, Pelicast, ...)
# and the medians are reported. Needs postfix (smtp-sink) and the Release build of
# bench_send_run, which this script configures when needed and brings up to date.
set -euo pipefail
cd "$(dirname "$0")/.."

COUNT=${1:-10000}
RUNS=${2:-5}
BUILD=${3:-build/bench}
SINK=/usr/sbin/smtp-sink
[[ -x $SINK ]] || { echo "smtp-sink not found: install the postfix package" >&2; exit 1; }

if [[ ! -f $BUILD/CMakeCache.txt ]]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELICAST_BUILD_BENCH=ON \
    -DPELICAST_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD" --target bench_send_run >/dev/null

PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
taskset -c 0 "$SINK" -u nobody "127.0.0.1:$PORT" 256 &
SINK_PID=$!
trap 'kill "$SINK_PID" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $PORT)).close()" 2>/dev/null && break
  sleep 0.1
done

median() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

OUT=$(mktemp -d)
for run in $(seq "$RUNS"); do
  taskset -c 0 "$BUILD/bench/bench_send_run" --port="$PORT" --count="$COUNT" \
    --benchmark_format=json >"$OUT/pelicast-$run.json"
  taskset -c 0 python3 bench/smtplib_send.py "$PORT" "$COUNT" >"$OUT/smtplib-$run.txt"
  python3 - "$OUT/pelicast-$run.json" "$OUT/smtplib-$run.txt" <<'PY'
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
if b.get("error_occurred"):
    sys.exit("bench_send_run: " + b.get("error_message", "failed"))
p = open(sys.argv[2]).read().split()
print(f"run: pelicast {b['msgs_per_s']:.0f} msg/s (run's own work {b['run_us_per_rcpt']:.2f} us ="
      f" send call {b['send_call_us_per_rcpt']:.2f} + after the send {b['after_send_us_per_rcpt']:.2f},"
      f" cpu user {b['cpu_user_us_per_rcpt']:.1f} us + sys {b['cpu_sys_us_per_rcpt']:.1f} us"
      f" per recipient) | smtplib {float(p[1]):.0f} msg/s (cpu user {p[3]} us + sys {p[5]} us)")
PY
done

field() { for f in "$OUT"/pelicast-*.json; do python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['benchmarks'][0]['$1'])" "$f"; done | median; }
P=$(field msgs_per_s)
RUN_US=$(field run_us_per_rcpt)
CALL_US=$(field send_call_us_per_rcpt)
AFTER_US=$(field after_send_us_per_rcpt)
USER_US=$(field cpu_user_us_per_rcpt)
SYS_US=$(field cpu_sys_us_per_rcpt)
S=$(cat "$OUT"/smtplib-*.txt | awk '{print $2}' | median)
S_USER=$(cat "$OUT"/smtplib-*.txt | awk '{print $4}' | median)
S_SYS=$(cat "$OUT"/smtplib-*.txt | awk '{print $6}' | median)
echo
echo "medians of $RUNS runs, $COUNT recipients each, sink and clients pinned to CPU 0 (taskset -c 0):"
printf '  Pelicast send run  %8.0f msg/s\n' "$P"
printf '  Python smtplib     %8.0f msg/s\n' "$S"
printf '  ratio              %8.2f x\n' "$(awk -v p="$P" -v s="$S" 'BEGIN {print p / s}')"
printf "  run's own work     %8.2f us per recipient (log in memory)\n" "$RUN_US"
printf '    send call        %8.2f us (stop check, address, personalising, composing)\n' "$CALL_US"
printf '    after the send   %8.2f us (list moves, periodic close, count, progress, log)\n' "$AFTER_US"
printf '  client CPU         %8.1f us user + %.1f us kernel per recipient (Pelicast process)\n' "$USER_US" "$SYS_US"
printf '                     %8.1f us user + %.1f us kernel per recipient (smtplib process)\n' "$S_USER" "$S_SYS"
rm -rf "$OUT"
