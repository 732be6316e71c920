#!/usr/bin/env bash
# Builds the loader fuzz target with clang in build/fuzz, writes the seed
# corpus and fuzzes for the given number of seconds (default 60).
#   tools/run_fuzz.sh [SECONDS]
# New interesting inputs collect in build/fuzz/fuzz/corpus-run (the seeds stay
# untouched); a crash is written to build/fuzz/fuzz/artifacts/ and the script
# fails.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
jobs="${DARVEX_FUZZ_JOBS:-2}"

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDARVEX_FUZZ=ON -DDARVEX_TESTS=OFF -DDARVEX_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_loader fuzz_corpus

out="$build/fuzz"
mkdir -p "$out/corpus-run" "$out/artifacts"
"$out/fuzz_loader" "$out/corpus-run" "$out/corpus" \
  -max_len=65536 -rss_limit_mb=2048 -max_total_time="$seconds" -timeout=10 \
  -artifact_prefix="$out/artifacts/" -print_final_stats=1
