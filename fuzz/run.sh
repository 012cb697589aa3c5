#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan + UBSan) and runs one of them.
# Usage: fuzz/run.sh TARGET SECONDS
set -euo pipefail
target=${1:?target name, e.g. fuzz_bmp_stream}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPALVENOR_SANITIZE=ON -DPALVENOR_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
corpus=$root/fuzz/corpus-$target
mkdir -p "$corpus"
dict=()
[ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
cd "$root/fuzz"
"$build/fuzz/$target" "$corpus" "$root/fuzz/seeds/$target" -max_total_time="$seconds" \
    -malloc_limit_mb=512 -rss_limit_mb=2048 -print_final_stats=1 "${dict[@]}"
