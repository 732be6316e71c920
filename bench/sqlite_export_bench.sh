#!/bin/sh
# darvex-cli export --format sqlite on the 1 GiB log (or a folder of logs) beside the sqlite3
# command's .import of the same events as CSV (export --format csv --no-data),
# into a database with the same pragmas as the writer's. Each row is the
# median wall time of REPS runs and the events a second; the database's size.
# The .import rows leave out the CSV's writing (its own row), and the second
# adds the three indexes the export makes.
#
#   bench/sqlite_export_bench.sh [BUILD_DIR [LOG]]   (defaults: build/native,
#                                $DARVEX_BENCH_LOG or /tmp/darvex_bench_1g.evt; REPS=3)
set -eu
. "$(dirname "$0")/bench_common.sh"
build=${1:-build/native}
log=${2:-${DARVEX_BENCH_LOG:-/tmp/darvex_bench_1g.evt}}
reps=${REPS:-3}
cli=$build/cli/darvex-cli
[ -x "$cli" ] || { echo "no $cli: build the native tree first" >&2; exit 2; }
command -v sqlite3 > /dev/null || { echo "no sqlite3 command" >&2; exit 2; }
if [ ! -e "$log" ]; then
  echo "generating $log" >&2
  "$build/evtgen" --out "$log" --preset bench --quiet
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/darvex_sqlite_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

pragmas="PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;
PRAGMA locking_mode=EXCLUSIVE; PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY;"
indexes="CREATE INDEX events_time ON events(time); CREATE INDEX events_type ON events(type);
CREATE INDEX events_computer ON events(computer);"


# Seconds of one run of the shell command line; $work/db is removed first.
once() {
  rm -f "$work/db"
  t0=$(now)
  # 6: a corrupted log among a folder's, reported and left out
  sh -c "$1" > /dev/null 2>&1 || [ $? = 6 ] || { echo "failed: $1" >&2; exit 1; }
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}
timed() {
  i=0
  while [ "$i" -lt "$reps" ]; do once "$1"; i=$((i + 1)); done | median
}

find "$log" -type f -exec cat {} + > /dev/null   # warm
events=$("$cli" stats "$log" 2> /dev/null | sed -n 's/^Events: //p')
size=$(find "$log" -type f -exec cat {} + | wc -c)
cpu=$(lscpu 2> /dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "Machine: $cpu, $(nproc) cores, Linux $(uname -r), SQLite $(sqlite3 --version | cut -d' ' -f1);" \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Log: $log, $events events, $size bytes; $reps repetitions, median."
echo
echo "| Step | Time | Events/s | Database |"
echo "|---|---:|---:|---:|"
row() {   # name, shell command line that writes $work/db (or none)
  t=$(timed "$2")
  db=$( [ -f "$work/db" ] && wc -c < "$work/db" || echo 0)
  awk -v n="$1" -v t="$t" -v e="$events" -v d="$db" 'BEGIN {
    printf "| %s | %.2f s | %.0f | %s |\n", n, t, (t > 0 ? e / t : 0), (d > 0 ? sprintf("%.2f GB", d / 1e9) : "") }'
}
row "\`darvex-cli export --format sqlite\` (data as blobs, 3 indexes)" "'$cli' export '$log' --format sqlite -o '$work/db'"
row "\`darvex-cli export --format csv --no-data\` into a file" "'$cli' export '$log' --format csv --no-data > '$work/events.csv'"
printf '%s\n.import --csv %s events\n' "$pragmas" "$work/events.csv" > "$work/import.sql"
printf '%s\n.import --csv %s events\n%s\n' "$pragmas" "$work/events.csv" "$indexes" > "$work/indexed.sql"
row "\`sqlite3 .import --csv\` of that file (no data)" "sqlite3 '$work/db' < '$work/import.sql'"
row "\`sqlite3 .import --csv\` of that file, and the 3 indexes" "sqlite3 '$work/db' < '$work/indexed.sql'"
