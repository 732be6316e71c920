#!/bin/sh
# Writes the sample log bundled with the program: a live-named PERN.EVT whose
# writer has gone round once, with 400 events over five years of every type
# and every module code, a few with unknown module codes, descriptions in
# English and Japanese (Shift-JIS), some multi-line and some empty, and data
# up to 70,000 bytes. Seed 3 is fixed: it gives at least one event of each
# kind above, including data over 65,535 bytes, and the same bytes every time.
#
# usage: make_sample_log.sh EVTGEN OUTPUT
#   EVTGEN  the evtgen program (e.g. build/evtgen)
#   OUTPUT  the log to write; name it PERN.EVT so the viewer treats it as live
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 EVTGEN OUTPUT" >&2
    exit 2
fi

exec "$1" --out "$2" \
    --source pern --computer HALDOR-SRV01 \
    --events 400 --seed 3 --wrapped --years 2020-2024 \
    --unknown-rate 15000 --empty-desc-rate 10000 \
    --data-large-rate 6000 --data-large-min 40000 --data-large-max 70000
