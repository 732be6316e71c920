#!/bin/sh
# darvex-cli on the 1 GiB log beside cat of the same file: the wall time of
# each command (median of REPS runs, output to /dev/null), its output's size
# and rate, and its peak private memory: the anonymous pages (RssAnon in
# /proc/PID/status, looked at every 5 ms in one more run), which leave out the
# page cache and the mapped file. Prints the machine and a Markdown table.
#
#   bench/cli_bench.sh [BUILD_DIR [LOG]]     (defaults: build/native, $DARVEX_BENCH_LOG
#                                            or /tmp/darvex_bench_1g.evt; REPS=3)
set -eu
. "$(dirname "$0")/bench_common.sh"
build=${1:-build/native}
log=${2:-${DARVEX_BENCH_LOG:-/tmp/darvex_bench_1g.evt}}
reps=${REPS:-3}
cli=$build/cli/darvex-cli
[ -x "$cli" ] || { echo "no $cli: build the native tree first" >&2; exit 2; }
if [ ! -f "$log" ]; then
  echo "generating $log" >&2
  "$build/evtgen" --out "$log" --preset bench --quiet
fi


# Seconds of one run of the shell command line, its output to /dev/null.
once() {
  t0=$(now)
  sh -c "$1" > /dev/null 2>&1 || true
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

# The median of REPS runs.
timed() {
  i=0
  while [ "$i" -lt "$reps" ]; do once "$1"; i=$((i + 1)); done | median
}


cat "$log" > /dev/null   # warm
events=$("$cli" stats "$log" | sed -n 's/^Events: //p')
size=$(wc -c < "$log")
cpu=$(lscpu 2> /dev/null | sed -n 's/^Model name: *//p' | head -n 1)
cores=$(nproc)
ram=$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
echo "Machine: $cpu, $cores cores, $ram RAM, Linux $(uname -r); load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Log: $log, $events events, $size bytes; $reps repetitions, median."
echo
echo "| Command | Time | Against cat | Output | Rate | Private memory (peak RssAnon) |"
echo "|---|---:|---:|---:|---:|---:|"
mid=$((events / 2))
base=""
row() {   # name, command words (run without a shell for the memory)
  name=$1; shift
  t=$(timed "$*")
  [ -n "$base" ] || base=$t
  bytes=$(sh -c "$* 2> /dev/null" | wc -c)
  m=$(peak_anon "$@")
  awk -v n="$name" -v t="$t" -v b="$base" -v o="$bytes" -v m="$m" 'BEGIN {
    rate = (t > 0 && o > 100000000) ? sprintf("%.2f GB/s", o / t / 1e9) : ""
    printf "| `%s` | %.2f s | %.1fx | %.2f GB | %s | %.1f MiB |\n", n, t, (b > 0 ? t / b : 0), o / 1e9, rate, m / 1024 }'
}
row "cat" cat "$log"
row "darvex-cli check" "$cli" check "$log"
row "darvex-cli stats" "$cli" stats "$log"
row "darvex-cli list" "$cli" list "$log"
row "darvex-cli list -r" "$cli" list "$log" -r
row "darvex-cli list --order module" "$cli" list "$log" --order module
row "darvex-cli list --types error" "$cli" list "$log" --types error
row "darvex-cli export --format csv" "$cli" export "$log" --format csv
row "darvex-cli export --format ndjson" "$cli" export "$log" --format ndjson
row "darvex-cli show $mid" "$cli" show "$log" "$mid"
row "darvex-cli find --text rejected --all" "$cli" find "$log" --text rejected --all
row "darvex-cli find --text zzz (no match)" "$cli" find "$log" --text zzz
echo
# The first row: list piped into head, and follow's first line.
h=$(timed "$cli list $log | head -n 1")
hr=$(timed "$cli list $log -r | head -n 1")
echo "\`list | head -1\`: $h s; \`list -r | head -1\`: $hr s."
i=0
while [ "$i" -lt "$reps" ]; do
  t0=$(now)
  t1=$("$cli" follow "$log" --lines 10 2> /dev/null | { head -n 1 > /dev/null; now; })
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
  i=$((i + 1))
done > /tmp/cli_bench_follow.$$
echo "\`follow --lines 10\`, time to the first line: $(median < /tmp/cli_bench_follow.$$) s."
rm -f /tmp/cli_bench_follow.$$
