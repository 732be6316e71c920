#!/bin/bash
# The cross build's test emulator: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# runs a Windows program under Wine with the environment of wine-env.sh.
here=$(cd "$(dirname "$0")" && pwd)
build_dir=$1
shift
# Serialise the first start: several tests at once must not each set up the prefix.
mkdir -p "$build_dir/wineprefix"
exec 9> "$build_dir/wineprefix/.darvex-lock"
flock 9
. "$here/wine-env.sh" "$build_dir"
flock -u 9
exec 9>&-
exec wine "$@"
