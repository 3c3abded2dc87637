#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed jottex-cli finds its
# network module in the install layout, and that without it a fetch fails as without a
# connection: an exit status, one line in the log, no crash.
# Usage: modules.sh SOURCE_DIR BUILD_DIR CMAKE
set -euo pipefail
source_dir="$1"
build_dir="$2"
cmake="$3"

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null
module="$prefix/$("$source_dir/scripts/installed-files.sh" "$build_dir" | grep '/jottex-http\.so$')"
log="$prefix/data/Jottex/jottex.log"

# Nothing listens on port 1 of this machine, so the fetch is refused at once.
fetch() {
  local status=0
  XDG_DATA_HOME="$prefix/data" HOME="$prefix" QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/jottex-cli" feed http://127.0.0.1:1/feed.xml >/dev/null 2>&1 || status=$?
  echo "$status"
}
misses() {
  if [ -f "$log" ]; then grep -c "jottex-http cannot be loaded" "$log" || true; else echo 0; fi
}

status=0
# A feed that cannot be loaded ends with status 1; a crash would end above 128.
for case in present missing; do
  [ "$case" = missing ] && mv "$module" "$module.away"
  got="$(fetch)"
  want_misses=0
  [ "$case" = missing ] && want_misses=1
  if [ "$got" != 1 ]; then
    echo "FAIL: module $case: jottex-cli feed ended with status $got"
    status=1
  fi
  if [ "$(misses)" != "$want_misses" ]; then
    echo "FAIL: module $case: $(misses) log lines of a missing module, not $want_misses"
    status=1
  fi
done
exit $status
