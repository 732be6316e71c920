#!/bin/bash
# Which Wine loader runs the programs of one architecture here:
#   tools/wine-loader.sh win32|win64
# prints the loader's path and exits 0, or says on stderr in one line why
# there is none and exits 1.
#
# Debian keeps both loaders in /usr/lib/wine: wine64 from the wine64 package,
# wine (32-bit) from wine32:i386. /usr/bin/wine picks the 32-bit one whenever
# wine32 is installed, which cannot start 64-bit programs in a fresh prefix,
# so the scripts name the loader themselves. DARVEX_WINE32 and DARVEX_WINE64
# replace the paths (a missing path stands for a machine without it).
arch=${1:-}
case "$arch" in
  win64)
    if [ -n "${DARVEX_WINE64+set}" ]; then loader=$DARVEX_WINE64
    elif [ -x /usr/lib/wine/wine64 ]; then loader=/usr/lib/wine/wine64
    else loader=$(command -v wine64 || command -v wine || true)
    fi
    package=wine64 ;;
  win32)
    if [ -n "${DARVEX_WINE32+set}" ]; then loader=$DARVEX_WINE32
    elif [ -d /usr/lib/wine ]; then loader=/usr/lib/wine/wine
    else loader=$(command -v wine || true)
    fi
    package=wine32:i386 ;;
  *)
    echo "usage: wine-loader.sh win32|win64" >&2
    exit 2 ;;
esac

if [ -z "$loader" ] || [ ! -e "$loader" ]; then
  echo "the $arch Wine loader ${loader:-wine} is not installed (package $package)" >&2
  exit 1
fi
# An installed loader may still be unable to start: some kernels run no 32-bit
# programs at all (execve answers "Exec format error").
if ! why=$("$loader" --version 2>&1 >/dev/null); then
  case "$why" in
    *"format error"*) why="this kernel runs no 32-bit programs (Exec format error)" ;;
    *) why=${why%%$'\n'*} ;;
  esac
  echo "the $arch Wine loader $loader is installed but cannot run here: ${why:-it failed to start}" >&2
  exit 1
fi
echo "$loader"
