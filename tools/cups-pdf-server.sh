#!/usr/bin/env bash
# A private CUPS server with two printers, "PDF" (the default destination)
# and "PDF2", whose cups-pdf backend writes each job as a PDF file: the real
# printer queues of the printing tests.
#   tools/cups-pdf-server.sh start DIR   starts it; clients reach it through
#                                        CUPS_SERVER=DIR/cups.sock, the PDFs
#                                        land in DIR/pdf
#   tools/cups-pdf-server.sh stop DIR    stops it
# It listens on its own socket only, so the machine's own CUPS (if any) and
# its queues stay untouched. cups-pdf reads its settings from a fixed folder,
# /etc/cups, so the printer's settings file is written there (root only, as
# the cups-pdf backend itself needs a server running as root).
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
# Each server's printer has a settings file of its own, named after its
# folder, so that servers of several build trees never share an output folder.
name=darvex-$(printf '%s' "$dir" | cksum | cut -d' ' -f1)
conf=/etc/cups/cups-pdf-$name.conf

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
    rm -f "$dir/cupsd.pid"
  fi
  rm -f "$conf"
}

case $action in
stop) stop; exit 0 ;;
start) ;;
*) echo "cups-pdf-server.sh: start or stop, not $action" >&2; exit 2 ;;
esac

stop
for tool in cupsd lpadmin lpstat pdftotext; do
  command -v "$tool" >/dev/null || { echo "cups-pdf-server.sh: $tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done
[ -x /usr/lib/cups/backend/cups-pdf ] || { echo "cups-pdf-server.sh: the cups-pdf backend is missing" >&2; exit 1; }
rm -rf "$dir"
mkdir -p "$dir"/{etc/ppd,spool,cache,state,log,tmp,pdf}
chmod 755 "$dir"
chmod 1777 "$dir/tmp"   # the filters run as the lp user
cat > "$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
cat > "$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
if ! printf 'Out %s\nAnonDirName %s\nLabel 2\n' "$dir/pdf" "$dir/pdf" > "$conf" 2>/dev/null; then
  echo "cups-pdf-server.sh: cannot write $conf (run as root)" >&2
  exit 1
fi

setsid cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 < /dev/null &
echo $! > "$dir/cupsd.pid"
export CUPS_SERVER=$dir/cups.sock
for _ in $(seq 100); do
  [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
  sleep 0.1
done
lpstat -r >/dev/null 2>&1 || { echo "cups-pdf-server.sh: cupsd did not start:" >&2; cat "$dir/log/"* >&2; stop; exit 1; }
for queue in PDF PDF2; do
  lpadmin -p "$queue" -E -v "cups-pdf:/$name" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
done
lpadmin -d PDF
echo "cups-pdf-server.sh: printers PDF and PDF2 at $CUPS_SERVER, PDFs in $dir/pdf"
