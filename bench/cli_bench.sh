#!/bin/sh
# darvex-cli on the 1 GiB log beside cat of the same file: wall time and peak
# resident memory (GNU time's "Maximum resident set size") of each command,
# output to /dev/null, median of REPS runs. Prints a Markdown table.
#
#   bench/cli_bench.sh [BUILD_DIR [LOG]]     (defaults: build/native, $DARVEX_BENCH_LOG
#                                            or /tmp/darvex_bench_1g.evt; REPS=3)
set -eu
build=${1:-build/native}
log=${2:-${DARVEX_BENCH_LOG:-/tmp/darvex_bench_1g.evt}}
reps=${REPS:-3}
cli=$build/cli/darvex-cli
[ -x "$cli" ] || { echo "no $cli: build the native tree first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed" >&2; exit 2; }
if [ ! -f "$log" ]; then
  echo "generating $log" >&2
  "$build/evtgen" --out "$log" --preset bench --quiet
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# The median of the numbers on stdin, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs the command REPS times; prints "seconds kilobytes" medians.
measure() {
  times=""; peaks=""
  i=0
  while [ "$i" -lt "$reps" ]; do
    /usr/bin/time -v -o "$out" "$@" > /dev/null
    # Elapsed is h:mm:ss or m:ss.ss.
    t=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$out" |
        awk -F: '{ s = 0; for (k = 1; k <= NF; ++k) s = s * 60 + $k; print s }')
    m=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$out")
    times="$times$t
"
    peaks="$peaks$m
"
    i=$((i + 1))
  done
  printf '%s %s\n' "$(printf '%s' "$times" | median)" "$(printf '%s' "$peaks" | median)"
}

events=$("$cli" stats "$log" | sed -n 's/^Events: //p')
size=$(wc -c < "$log")
echo "Log: $log, $events events, $size bytes; $reps repetitions, median."
echo
echo "| Command | Time | Peak RSS | Against cat |"
echo "|---|---:|---:|---|"
# dd reads the file into one fresh 1 GiB block, the least a load costs; stats
# is the load and one pass over the entries: what list and export cost
# beyond it is their writing.
set -- "cat" "cat $log" \
       "dd bs=1G count=1" "dd if=$log of=/dev/null bs=1G count=1 status=none" \
       "darvex-cli stats" "$cli stats $log" \
       "darvex-cli list" "$cli list $log" \
       "darvex-cli export --format ndjson" "$cli export $log --format ndjson"
base=""
while [ $# -gt 0 ]; do
  name=$1; cmd=$2; shift 2
  # shellcheck disable=SC2086  # the command's words
  r=$(measure $cmd)
  t=${r% *}; m=${r#* }
  [ -n "$base" ] || base=$t
  awk -v n="$name" -v t="$t" -v m="$m" -v b="$base" 'BEGIN {
    printf "| `%s` | %.2f s | %.0f MiB | %.1fx the time |\n", n, t, m / 1024, (b > 0 ? t / b : 0) }'
done
