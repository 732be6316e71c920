#!/bin/bash
# Ends the Wine processes and the Xvfb display that wine-env.sh started for a
# build tree, so that nothing started for the tests outlives them:
#   tools/wine-stop.sh BUILD_DIR
build_dir=$(cd "${1:-.}" && pwd)
export WINEPREFIX="$build_dir/wineprefix"
[ -d "$WINEPREFIX" ] || exit 0
wineserver -k >/dev/null 2>&1 || true
if [ -f "$WINEPREFIX/.xvfb" ] && read -r pid display < "$WINEPREFIX/.xvfb"; then
    kill "$pid" 2>/dev/null || true
    rm -f "$WINEPREFIX/.xvfb"
fi
exit 0
