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
. "$(dirname "$0")/bench_common.sh"
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
files=$(mktemp) times=$(mktemp) runs=$(mktemp)
trap 'rm -f "$files" "$times" "$runs"' EXIT
[ -x /usr/bin/time ] || { echo "needs GNU time (/usr/bin/time) for the CPU times" >&2; exit 2; }
find "$fleet" -type f -iname '*.evt' | LC_ALL=C sort > "$files"

# One run of the shell command line, its output to /dev/null: "wall cpu" in
# seconds, the CPU time (user + system) counting the processes it starts.
once() {
  /usr/bin/time -f '%e %U %S' -o "$times" sh -c "$1" > /dev/null 2>&1 || true
  tail -n 1 "$times" | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}
# The medians of REPS runs' wall and CPU times.
timed() {
  i=0
  while [ "$i" -lt "$reps" ]; do once "$1"; i=$((i + 1)); done > "$runs"
  echo "$(cut -d' ' -f1 "$runs" | median) $(cut -d' ' -f2 "$runs" | median)"
}

xargs cat < "$files" > /dev/null   # warm
count=$(wc -l < "$files")
size=$(xargs cat < "$files" | wc -c)
events=$("$cli" stats "$fleet" 2> /dev/null | sed -n 's/^Events: //p')
cpu=$(lscpu 2> /dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "Machine: $cpu, $(nproc) cores, $(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) RAM, Linux $(uname -r); load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Fleet: $fleet, $count logs (one refused as corrupted), $events events read, $size bytes; $reps repetitions, median."
echo
echo "| Command | Time | CPU time | Against cat | Against the logs one by one (time, CPU) | Output | Private memory (peak RssAnon) |"
echo "|---|---:|---:|---:|---:|---:|---:|"
set -- $(timed "xargs cat < '$files'")
cat_t=$1
awk -v t="$1" -v u="$2" -v o="$size" 'BEGIN { printf "| `cat` of every file | %.2f s | %.2f s | 1.0x | | %.2f GB | |\n", t, u, o / 1e9 }'
row() {   # name, then the command's words before and after the FILE
  name=$1 command=$2 rest=$3
  bytes=$(sh -c "'$cli' $command '$fleet' $rest 2> /dev/null" | wc -c)
  m=$(peak_anon "$cli" $command "$fleet" $rest)
  set -- $(timed "while read -r f; do '$cli' $command \"\$f\" $rest; done < '$files'") $(timed "'$cli' $command '$fleet' $rest")
  awk -v n="$name" -v t="$1" -v u="$2" -v c="$cat_t" 'BEGIN {
    printf "| `%s` on each file alone, summed | %.2f s | %.2f s | %.1fx | 1.0x, 1.0x | | |\n", n, t, u, t / c }'
  awk -v n="$name" -v t="$3" -v u="$4" -v a="$1" -v b="$2" -v c="$cat_t" -v o="$bytes" -v m="$m" 'BEGIN {
    printf "| `%s` of the folder | %.2f s | %.2f s | %.1fx | %.2fx, %.2fx | %.2f GB | %.1f MiB |\n", n, t, u, t / c, t / a, u / b, o / 1e9, m / 1024 }'
}
row "darvex-cli list" list ""
row "darvex-cli list --format line" list "--format line"
row "darvex-cli export --format ndjson" export "--format ndjson"
