# Shared by the terminal tool's bench scripts (sourced, POSIX sh).

now() { date +%s.%N; }

# The median of the numbers on stdin, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The peak RssAnon (kB) of one run of the command (no shell in between):
# private memory, leaving out the page cache and mapped files.
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
