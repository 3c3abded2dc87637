#!/bin/sh
# Fuzzes the RTF reader and writer for a bounded time (seconds, default 60) on a copy of the
# sample notes. Exits non-zero when the fuzzer finds a crash; the crashing input is left in
# build-fuzz/ as crash-*. With --build-only it builds the fuzzer and stops.
set -eu

build_only=false
if [ "${1:-}" = "--build-only" ]; then
  build_only=true
  shift
fi

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DJOTTEX_FUZZ=ON -DJOTTEX_TESTS=OFF -DJOTTEX_BENCH=OFF
cmake --build "$build" --target fuzz_rtf
if $build_only; then
  exit 0
fi

corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
cp "$root"/tests/data/rtf/*.rtf "$corpus"/

cd "$build"
exec ./fuzz/fuzz_rtf -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -dict="$root/fuzz/rtf.dict" "$corpus"
