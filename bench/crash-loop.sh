#!/usr/bin/env bash
# Kills Jottex with SIGKILL at random moments and checks that the next start brings back every
# note, with everything typed more than 3 s before the kill. Not part of CI.
#
# Usage: bench/crash-loop.sh [RUNS] [BUILD_DIR]    (default 200 runs, build-release)
# Needs: Xvfb, openbox, xdotool. Prints: runs, notes expected, notes restored, texts expected,
# texts found, corrupt files.
set -uo pipefail
runs="${1:-200}"
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-$top/build-release}"
jottex="$build/src/jottex"
cli="$build/src/jottex-cli"
notes=4
[ -x "$jottex" ] && [ -x "$cli" ] || { echo "build $build first (targets jottex jottex-cli)"; exit 2; }

work="$(mktemp -d)"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_DATA_HOME/Jottex" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
Xvfb :93 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:93
sleep 1
openbox >/dev/null 2>&1 &
openbox=$!
trap 'kill $openbox $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1

data="$XDG_DATA_HOME/Jottex"
# Four notes waiting, as after a logout.
{
  printf '<?xml version="1.0" standalone="yes"?>\r\n<NOTES version="4.4.0.9">\r\n'
  for i in $(seq 1 $notes); do
    printf '<NOTE>\r\n<COLOR>yellow</COLOR>\r\n<DATA>{\\rtf1\\ansi note%s\\par\r\n}</DATA>\r\n' "$i"
    printf '<TIMEDATE>1/1/2026 9:00:00 AM</TIMEDATE>\r\n<HEIGHT>2400</HEIGHT>\r\n<WIDTH>3000</WIDTH>\r\n'
    printf '<LEFT>%s</LEFT>\r\n<TOP>900</TOP>\r\n</NOTE>\r\n' $((600 + 3300 * (i - 1)))
  done
  printf '</NOTES>\r\n'
} > "$data/jottex.dat"

kept_text() { # every note's text in the files the next start reads
  for f in "$data"/jottex.dat "$data"/session-*.recovery; do
    [ -f "$f" ] || continue
    count=$("$cli" list "$f" 2>/dev/null | wc -l)
    for n in $(seq 1 "$count"); do "$cli" cat "$f" --note "$n" --format text 2>/dev/null; done
  done
}

expected_notes=0 restored_notes=0 expected_texts=0 found_texts=0 corrupt=0
declare -a typed=()  # tokens typed more than 3 s before a kill
for run in $(seq 1 "$runs"); do
  "$jottex" >/dev/null 2>&1 &
  pid=$!
  windows=""
  for _ in $(seq 1 100); do
    windows=$(xdotool search --onlyvisible --name '^Jottex' 2>/dev/null | head -n $notes)
    [ "$(echo "$windows" | grep -c .)" -ge $notes ] && break
    sleep 0.1
  done
  expected_notes=$((expected_notes + notes))
  restored_notes=$((restored_notes + $(echo "$windows" | grep -c .)))
  sleep 0.5
  # The texts typed before earlier kills must all be in what this run keeps.
  text=$(kept_text)
  for token in "${typed[@]}"; do
    expected_texts=$((expected_texts + 1))
    grep -q "$token" <<<"$text" && found_texts=$((found_texts + 1))
  done
  typed=()
  for f in "$data"/jottex.dat "$data"/session-*.recovery; do
    [ -f "$f" ] && ! "$cli" list "$f" >/dev/null 2>&1 && corrupt=$((corrupt + 1))
  done

  # Type a word into one of the notes, wait a random while, kill.
  target=$(echo "$windows" | shuf -n 1)
  token="w${run}x$RANDOM"
  [ -n "$target" ] && xdotool windowactivate --sync "$target" 2>/dev/null
  xdotool type --delay 20 " $token" 2>/dev/null
  typed_at=$(date +%s%N)
  sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", r % 600 / 100 }')"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  elapsed_ms=$(( ($(date +%s%N) - typed_at) / 1000000 ))
  [ "$elapsed_ms" -gt 3000 ] && typed+=("$token")
  printf '\rrun %d/%d' "$run" "$runs" >&2
done
echo >&2
echo "runs: $runs"
echo "notes expected: $expected_notes"
echo "notes restored: $restored_notes"
echo "texts typed >3 s before a kill: $expected_texts"
echo "texts restored: $found_texts"
echo "corrupt files: $corrupt"
