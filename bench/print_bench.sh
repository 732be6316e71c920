#!/bin/bash
# Runs the print benchmark on a CUPS server of its own:
#   bench/print_bench.sh CUPS_DIR COMMAND [ARGS...]
# starts tools/cups-pdf-server.sh in CUPS_DIR (its default printer writes PDFs
# into CUPS_DIR/pdf), runs COMMAND with CUPS_SERVER naming the server's socket
# and stops the server afterwards, whatever the command's end. COMMAND is the
# bench under Wine, e.g.
#   bench/print_bench.sh build/benchwin/print-cups \
#       tools/wine-run.sh build/benchwin build/benchwin/bench/darvex_print_bench.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:?CUPS folder}
shift
[ $# -gt 0 ] || { echo "usage: print_bench.sh CUPS_DIR COMMAND [ARGS...]" >&2; exit 2; }
bash "$here/../tools/cups-pdf-server.sh" start "$dir" || exit 1
trap 'bash "$here/../tools/cups-pdf-server.sh" stop "$dir"' EXIT
CUPS_SERVER=$(cd "$dir" && pwd)/cups.sock
export CUPS_SERVER
"$@"
