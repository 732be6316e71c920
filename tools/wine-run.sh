#!/bin/bash
# The cross build's test emulator: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# runs a Windows program under Wine with the environment of wine-env.sh.
#
# A build tree whose loader this machine lacks gets "--unavailable=ARCH" in
# place of BUILD_DIR (see cmake/Win32Program.cmake): GoogleTest's discovery
# then finds no tests, and anything else run through it says why it cannot
# run and exits with 77, which the tree's placeholder test reports as skipped.
here=$(cd "$(dirname "$0")" && pwd)
build_dir=$1
shift
case "$build_dir" in
  --unavailable=*)
    for arg in "$@"; do
        [ "$arg" = --gtest_list_tests ] && exit 0
    done
    why=$(bash "$here/wine-loader.sh" "${build_dir#--unavailable=}" 2>&1 >/dev/null)
    echo "wine-run.sh: not run, ${why:-the Wine loader was missing when the tree was configured}" >&2
    exit 77 ;;
esac
# Serialise the first start: several tests at once must not each set up the prefix.
mkdir -p "$build_dir/wineprefix"
exec 9> "$build_dir/wineprefix/.darvex-lock"
flock 9
. "$here/wine-env.sh" "$build_dir" || exit 77
flock -u 9
exec 9>&-
# A test case (GoogleTest's --gtest_filter) that ends in failure before it
# printed a byte never reached its test: on rare runs a Wine process dies
# while it starts, with nothing said (Wine's debug output is off). Such a run
# is said on standard error and made once more; any run that printed
# something, or failed twice, gives its output and its status as it is.
case " $* " in
  *" --gtest_filter="*) ;;
  *) exec "$WINELOADER" "$@" ;;
esac
darvex_out=$(mktemp) darvex_err=$(mktemp)
trap 'cat "$darvex_out"; cat "$darvex_err" >&2; rm -f "$darvex_out" "$darvex_err"' EXIT
for darvex_attempt in 1 2; do
    "$WINELOADER" "$@" > "$darvex_out" 2> "$darvex_err"
    darvex_status=$?
    if [ "$darvex_status" = 0 ] || [ -s "$darvex_out" ] || [ -s "$darvex_err" ] || [ "$darvex_attempt" = 2 ]; then
        break
    fi
    echo "wine-run.sh: ${1##*/} ended with status $darvex_status before it printed anything; run again" >&2
done
exit "$darvex_status"
