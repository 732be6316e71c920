#!/bin/sh
# darvex-cli over a fleet of logs as one timeline: list and export of the
# folder beside cat of all its files and beside the sum of the same command
# run on each file alone (one process a file, in a loop), in the same run.
# Wall time is the median of REPS runs (output to /dev/null); private memory
# is the peak RssAnon (anonymous pages: no page cache, no mapped file) of the
# one process, looked at every 5 ms. Prints the machine and a Markdown table.
#
#   bench/fleet_bench.sh [BUILD_DIR [FLEET_DIR]]   (defaults: build/native,
#       $DARVEX_FLEET or /tmp/darvex_fleet_100x10m; REPS=3; LOGS=100,
#       MACHINES=20, SIZE=10M for a fleet generated when the folder is missing)
set -eu
build=${1:-build/native}
fleet=${2:-${DARVEX_FLEET:-/tmp/darvex_fleet_100x10m}}
reps=${REPS:-3}
cli=$build/cli/darvex-cli
[ -x "$cli" ] || { echo "no $cli: build the native tree first" >&2; exit 2; }
if [ ! -d "$fleet" ]; then
  echo "generating $fleet" >&2
  "$build/evtgen" --quiet --fleet "$fleet" --logs "${LOGS:-100}" --machines "${MACHINES:-20}" \
    --size-per-log "${SIZE:-10M}"
fi
files=$(mktemp)
trap 'rm -f "$files"' EXIT
find "$fleet" -type f -iname '*.evt' | LC_ALL=C sort > "$files"

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
once() {
  t0=$(now)
  sh -c "$1" > /dev/null 2>&1 || true
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}
timed() {
  i=0
  while [ "$i" -lt "$reps" ]; do once "$1"; i=$((i + 1)); done | median
}
peak_anon() {
  "$@" > /dev/null 2>&1 &
  pid=$!
  peak=0
  while kill -0 "$pid" 2> /dev/null; do
    a=$(sed -n 's/^RssAnon:[^0-9]*\([0-9]*\).*/\1/p' "/proc/$pid/status" 2> /dev/null || true)
    [ -n "$a" ] && [ "$a" -gt "$peak" ] && peak=$a
    sleep 0.005
  done
  wait "$pid" || true
  echo "$peak"
}

xargs cat < "$files" > /dev/null   # warm
count=$(wc -l < "$files")
size=$(xargs cat < "$files" | wc -c)
events=$("$cli" stats "$fleet" 2> /dev/null | sed -n 's/^Events: //p')
cpu=$(lscpu 2> /dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "Machine: $cpu, $(nproc) cores, $(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) RAM, Linux $(uname -r); load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Fleet: $fleet, $count logs (one refused as corrupted), $events events read, $size bytes; $reps repetitions, median."
echo
echo "| Command | Time | Against cat | Against the logs one by one | Output | Private memory (peak RssAnon) |"
echo "|---|---:|---:|---:|---:|---:|"
cat_t=$(timed "xargs cat < '$files'")
awk -v t="$cat_t" -v o="$size" 'BEGIN { printf "| `cat` of every file | %.2f s | 1.0x | | %.2f GB | |\n", t, o / 1e9 }'
row() {   # name, then the command's words after the FILE
  name=$1; shift
  alone=$(timed "while read -r f; do '$cli' $1 \"\$f\" $2; done < '$files'")
  merged=$(timed "'$cli' $1 '$fleet' $2")
  bytes=$(sh -c "'$cli' $1 '$fleet' $2 2> /dev/null" | wc -c)
  m=$(peak_anon "$cli" $1 "$fleet" $2)
  awk -v n="$name" -v t="$alone" -v c="$cat_t" -v o="$bytes" 'BEGIN {
    printf "| `%s` on each file alone, summed | %.2f s | %.1fx | 1.0x | | |\n", n, t, t / c }'
  awk -v n="$name" -v t="$merged" -v a="$alone" -v c="$cat_t" -v o="$bytes" -v m="$m" 'BEGIN {
    printf "| `%s` of the folder | %.2f s | %.1fx | %.2fx | %.2f GB | %.1f MiB |\n", n, t, t / c, t / a, o / 1e9, m / 1024 }'
}
row "darvex-cli list" list ""
row "darvex-cli list --format line" list "--format line"
row "darvex-cli export --format ndjson" export "--format ndjson"
