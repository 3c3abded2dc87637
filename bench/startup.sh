#!/usr/bin/env bash
# Start-up figures of Jottex as ratios to a bare Qt 6 Widgets program (bench/bare_qt.cpp),
# in paired rounds on one private X server (Xvfb + openbox). Prints figures; asserts nothing.
#
# Usage: bench/startup.sh [ROUNDS] [BUILD_DIR]    (default 7 rounds, build-release)
# Needs: Xvfb, openbox, and the build's targets jottex, bare_qt, mapwait and titlewait
# (libxcb1-dev).
#
# Each round, in alternating order for the two programs:
#   first note  - ms from exec to the first window viewable (no notes waiting);
#   20 notes    - ms from exec to 20 windows viewable (jottex.dat with 20 notes; 20 windows);
#   RSS         - VmRSS in KiB after 2 s idle, with 1 and with 20 windows;
#   idle CPU    - utime+stime in ms over 10 s idle with 20 windows.
# Then, for jottex alone, with a notes folder (a folder a sync tool carries):
#   folder open - ms from exec to 200 windows viewable, each note a file of the notes folder;
#   change in   - ms from a changed note file's rename into place (as Syncthing, Nextcloud and
#                 Dropbox write it) to its open note's title (its first line) changing.
set -uo pipefail
rounds="${1:-7}"
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-$top/build-release}"
jottex="${JOTTEX:-$build/src/jottex}" # JOTTEX=path compares another build
bare="$build/bench/bare_qt"
mapwait="$build/bench/mapwait"
titlewait="$build/bench/titlewait"
notes=20
folder_notes=200
for program in "$jottex" "$bare" "$mapwait" "$titlewait"; do
  [ -x "$program" ] || { echo "build $build first (targets jottex bare_qt mapwait titlewait)"; exit 2; }
done

work="$(mktemp -d)"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
openbox=$!
trap 'kill $openbox $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
data="$XDG_DATA_HOME/Jottex"
hz=$(getconf CLK_TCK)

fresh_data() { # no notes waiting, no leftovers of the last run
  rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  mkdir -p "$data"
}

note_element() { # INDEX FIRST_WORD: one note, placed by its index on a grid of 8 columns
  printf '<NOTE>\r\n<COLOR>yellow</COLOR>\r\n'
  printf '<DATA>{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 %s %s: milk, bread \\b and\\b0  eggs\\par\r\n}</DATA>\r\n' "$2" "$1"
  printf '<TIMEDATE>1/1/2026 9:00:00 AM</TIMEDATE>\r\n<HEIGHT>2400</HEIGHT>\r\n<WIDTH>3000</WIDTH>\r\n'
  printf '<LEFT>%s</LEFT>\r\n<TOP>%s</TOP>\r\n</NOTE>\r\n' $((300 + 3100 * (($1 - 1) % 8))) $((300 + 2600 * ((($1 - 1) / 8) % 6)))
}
note_document() { # INDEX... FIRST_WORD is $word
  printf '<?xml version="1.0" standalone="yes"?>\r\n<NOTES version="4.4.0.9">\r\n'
  for i in "$@"; do note_element "$i" "$word"; done
  printf '</NOTES>\r\n'
}

write_notes() { # COUNT notes waiting in the main data file, as after a logout
  word=Note note_document $(seq 1 "$1") > "$data/jottex.dat"
}

folder="$work/Notes"
note_file() { printf '%s/%016x.not' "$folder" "$1"; } # the file of note INDEX
write_folder() { # COUNT notes, each a file of the notes folder, as another machine left it
  rm -rf "$folder"; mkdir -p "$folder"
  echo "Jottex keeps its notes in this folder, one file <id>.not for each." > "$folder/.jottex-folder"
  for i in $(seq 1 "$1"); do word=Note note_document "$i" > "$(note_file "$i")"; done
}

stop() { kill -KILL "$1" 2>/dev/null; wait "$1" 2>/dev/null; while kill -0 "$1" 2>/dev/null; do sleep 0.05; done; }
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
settle() { # until PID used no CPU for half a second (30 s at most)
  local before after
  for _ in $(seq 60); do
    before=$(cpu_ticks "$1"); sleep 0.5; after=$(cpu_ticks "$1")
    [ "$before" = "$after" ] && return
  done
}

# One start: PROGRAM KIND ("one" or "many"). Appends "start_ms rss_kib [cpu_ms]" to $work/KIND.
measure() {
  local program="$1" kind="$2" count=1 args=() out ms pid rss cpu=""
  fresh_data
  if [ "$kind" = many ]; then
    count=$notes
    if [ "$program" = jottex ]; then write_notes "$notes"; else args=("$notes"); fi
  fi
  local path="$jottex"; [ "$program" = bare ] && path="$bare"
  out=$("$mapwait" "$count" 30000 "$path" "${args[@]}")
  read -r ms pid <<<"$out"
  if [ "$ms" = timeout ]; then echo "  $program $kind: timed out" >&2; stop "$pid"; return; fi
  sleep 2
  rss=$(rss_kib "$pid")
  if [ "$kind" = many ]; then
    local before after
    before=$(cpu_ticks "$pid"); sleep 10; after=$(cpu_ticks "$pid")
    cpu=$(( (after - before) * 1000 / hz ))
  fi
  stop "$pid"
  echo "$ms $rss $cpu" >> "$work/$program.$kind"
}

echo "startup bench: $rounds rounds, $notes notes, $(nproc) cores, display $display"
for round in $(seq 1 "$rounds"); do
  if (( round % 2 )); then order="jottex bare"; else order="bare jottex"; fi
  for kind in one many; do
    for program in $order; do measure "$program" "$kind"; done
  done
  printf '  round %s: jottex %s | %s   bare %s | %s\n' "$round" \
    "$(tail -n1 "$work/jottex.one" 2>/dev/null)" "$(tail -n1 "$work/jottex.many" 2>/dev/null)" \
    "$(tail -n1 "$work/bare.one" 2>/dev/null)" "$(tail -n1 "$work/bare.many" 2>/dev/null)"
done

# median FILE COLUMN; ratio_median KIND COLUMN: the median of the paired rounds' ratios.
median() { awk -v c="$2" '{print $c}' "$1" | sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
ratio_median() {
  paste -d' ' "$work/jottex.$1" "$work/bare.$1" | awk -v c="$2" '{n=NF/2; b=$(n+c); if (b>0) print $c/b}' \
    | sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'
}
row() { # LABEL KIND COLUMN GOAL UNIT
  local j b r verdict
  j=$(median "$work/jottex.$2" "$3"); b=$(median "$work/bare.$2" "$3")
  r=$(ratio_median "$2" "$3" | awk '{ if ($1 == "nan") print; else printf "%.2f\n", $1 }')
  if [ "$4" = - ]; then
    verdict=""
  elif [ "$4" = "<=bare" ]; then
    verdict=$(awk -v j="$j" -v b="$b" 'BEGIN {print (j <= b) ? "met" : "not met"}'); r="-"
  else
    verdict=$(awk -v r="$r" -v g="$4" 'BEGIN {print (r != "nan" && r <= g) ? "met" : "not met"}')
  fi
  printf '%-22s %10s %10s %8s %8s  %s\n' "$1 ($5)" "$j" "$b" "$r" "$4" "$verdict"
}
echo
printf '%-22s %10s %10s %8s %8s  %s\n' "median of $rounds" jottex bare ratio goal verdict
row "first note" one 1 1.3 ms
row "$notes notes" many 1 1.5 ms
row "RSS, 1 note" one 2 - KiB
row "RSS, $notes notes" many 2 1.2 KiB
row "idle CPU 10 s" many 3 "<=bare" ms

# The notes folder, jottex alone: "folder_ms change_ms" appended to $work/jottex.folder.
measure_folder() {
  local out ms pid change
  fresh_data
  write_folder "$folder_notes"
  out=$("$mapwait" "$folder_notes" 60000 "$jottex" --notes-folder "$folder")
  read -r ms pid <<<"$out"
  if [ "$ms" = timeout ]; then echo "  folder: timed out" >&2; stop "$pid"; return; fi
  settle "$pid"
  # The changed note comes in under a hidden name, as the sync tools write it, then moves over
  # the old file.
  word=Changed note_document 1 > "$folder/.incoming.tmp"
  change=$("$titlewait" 30000 "Changed 1:" "$folder/.incoming.tmp" "$(note_file 1)")
  stop "$pid"
  echo "$ms $change" >> "$work/jottex.folder"
}

echo
echo "notes folder: $rounds rounds, $folder_notes note files"
for round in $(seq 1 "$rounds"); do
  measure_folder
  printf '  round %s: %s\n' "$round" "$(tail -n1 "$work/jottex.folder" 2>/dev/null)"
done
echo
printf '%-22s %10s\n' "median of $rounds" jottex
printf '%-22s %10s\n' "folder, $folder_notes notes (ms)" "$(median "$work/jottex.folder" 1)"
printf '%-22s %10s\n' "change in (ms)" "$(median "$work/jottex.folder" 2)"
