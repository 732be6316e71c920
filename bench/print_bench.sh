#!/bin/bash
# Runs the print benchmark on a CUPS server of its own:
#   bench/print_bench.sh CUPS_DIR COMMAND [ARGS...]
# starts tools/cups-pdf-server.sh in CUPS_DIR (its default printer writes PDFs
# into CUPS_DIR/pdf), runs COMMAND with CUPS_SERVER naming the server's socket
# and stops the server afterwards, whatever the command's end. COMMAND is the
# bench under Wine, e.g.
#   bench/print_bench.sh build/benchwin/print-cups \
#       tools/wine-run.sh build/benchwin build/benchwin/bench/darvex_print_bench.exe
#
# The server script gives every server's cups-pdf printers one settings file,
# /etc/cups/cups-pdf-darvex.conf, which names the folder the PDFs land in: a
# test run's server started beside this one would send its printouts here, or
# this bench's there. So the bench's queues get a settings file of their own
# and the shared one gets back what it held before the start.
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:?CUPS folder}
shift
[ $# -gt 0 ] || { echo "usage: print_bench.sh CUPS_DIR COMMAND [ARGS...]" >&2; exit 2; }
shared=/etc/cups/cups-pdf-darvex.conf
own_name=darvex-printbench-$$
own=/etc/cups/cups-pdf-$own_name.conf
saved=$(cat "$shared" 2>/dev/null || true)
bash "$here/../tools/cups-pdf-server.sh" start "$dir" || exit 1
[ -n "$saved" ] && printf '%s\n' "$saved" > "$shared"
trap 'bash "$here/../tools/cups-pdf-server.sh" stop "$dir"; rm -f "$own"' EXIT
dir=$(cd "$dir" && pwd)
CUPS_SERVER=$dir/cups.sock
export CUPS_SERVER
printf 'Out %s\nAnonDirName %s\nLabel 2\n' "$dir/pdf" "$dir/pdf" > "$own"
for queue in PDF PDF2; do
  lpadmin -p "$queue" -v "cups-pdf:/$own_name" || exit 1
done
"$@"
