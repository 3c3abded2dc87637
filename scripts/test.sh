#!/usr/bin/env bash
# Installs what is missing, builds Jottex with AddressSanitizer and UBSan, checks the format and
# lints the changed sources, runs every test, and fuzzes the RTF reader for a bounded time.
# The fuzzer builds and runs, and the lint (which needs only the compile commands) runs, beside
# the tests, which leave a core idle while they wait on windows; the build has none to spare.
# Each side's output shows when it ends.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-ci"
logs="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill -- "-$pid" 2>/dev/null || true
  done
  rm -rf "$logs"
}
trap cleanup EXIT
started=$SECONDS
step() { echo "== $1 ($((SECONDS - started)) s)"; }

# side NAME COMMAND...: runs COMMAND in the background in a process group of its own (so that
# an early exit ends all of it), its output kept for finish NAME.
side() {
  local name="$1"
  shift
  # The job's last line says when it ended, so a slow side job shows in the figures.
  offset=$((SECONDS - started)) setsid bash -c '"$@"; status=$?; echo "== ${0}: ended ($((SECONDS + offset)) s)"; exit $status' \
    "$name" "$@" >"$logs/$name.log" 2>&1 &
  pids+=($!)
  eval "pid_$name=$!"
}
# finish NAME: waits for the side job NAME, shows its output and fails when it failed.
finish() {
  local name="$1" pid status=0
  eval "pid=\$pid_$name"
  wait "$pid" || status=$?
  step "$name: exit $status"
  cat "$logs/$name.log"
  return $status
}

status=0
step deps
"$top/scripts/deps.sh" test

step build
# Benchmarks are not built here: they are programs to run by hand, and the tests cover the code.
# Line tables (-g1) are all that the sanitizers' stack traces read, and compile and link faster
# than full debug information. lld links the fifty sanitized programs in a third of the time the
# default linker takes.
lld="-fuse-ld=lld"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DCMAKE_EXE_LINKER_FLAGS="$lld" -DCMAKE_SHARED_LINKER_FLAGS="$lld" \
  -DCMAKE_MODULE_LINKER_FLAGS="$lld" \
  -DJOTTEX_SANITIZE=ON -DJOTTEX_WERROR=ON -DJOTTEX_BENCH=OFF -DJOTTEX_PCH=ON >/dev/null
cmake --build "$build"

step tests
side lint nice -n 10 "$top/scripts/lint.sh" "$build"
side fuzz "$top/scripts/fuzz.sh" "${JOTTEX_FUZZ_SECONDS:-40}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j2 || status=$?
step "tests: exit $status"

finish lint || status=1
finish fuzz || status=1
pids=()
step "done: exit $status"
exit $status
