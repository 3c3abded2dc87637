#!/bin/sh
# Fuzzes the RTF reader and writer, then the note file readers and writer, for a bounded time
# (seconds, default 60, two thirds of it for RTF) on copies of the sample notes, the RTF seeds
# in fuzz/seeds and the note-file shapes fuzz/notefile-corpus.sh writes. Exits non-zero when a
# fuzzer finds a crash; the crashing input is left in build-fuzz/ as crash-*. With --build-only
# it builds the fuzzers and stops.
set -eu

build_only=false
if [ "${1:-}" = "--build-only" ]; then
  build_only=true
  shift
fi

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

# Line tables are all that a crash's stack trace reads, and compile faster than full debug
# information.
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
    -DJOTTEX_FUZZ=ON -DJOTTEX_TESTS=OFF -DJOTTEX_BENCH=OFF
cmake --build "$build" --target fuzz_rtf fuzz_notefile
if $build_only; then
  exit 0
fi

corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
cp "$root"/tests/data/rtf/*.rtf "$root"/fuzz/seeds/*.rtf "$corpus"/
notes="$build/fuzz-corpus-notefile"
sh "$root/fuzz/notefile-corpus.sh" "$notes"

cd "$build"
./fuzz/fuzz_rtf -max_total_time="$((seconds * 2 / 3))" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -dict="$root/fuzz/rtf.dict" "$corpus"
exec ./fuzz/fuzz_notefile -max_total_time="$((seconds - seconds * 2 / 3))" -timeout=10 \
    -rss_limit_mb=2048 -max_len=65536 "$notes"
