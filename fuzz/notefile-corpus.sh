#!/bin/sh
# Writes the note-file fuzzer's starting corpus into the folder given: real note files and the
# hostile shapes that once took the reader minutes or gigabytes, small enough to mutate.
set -eu
out="$1"
mkdir -p "$out"

head='<?xml version="1.0" standalone="yes"?>\r\n<NOTES version="4.4.0.9">\r\n'
note='<NOTE>\r\n<COLOR>8454143</COLOR>\r\n<DATA>{\\rtf1\\ansi a &amp; b\\par\r\n}</DATA>\r\n<TIMEDATE>12/6/2026 9:21:58 AM</TIMEDATE>\r\n<HEIGHT>2865</HEIGHT>\r\n<WIDTH>3345</WIDTH>\r\n<LEFT>600</LEFT>\r\n<TOP>4215</TOP>\r\n</NOTE>\r\n'
tail='</NOTES>\r\n'

# repeat FORMAT COUNT: printf FORMAT, COUNT times.
repeat() {
  i=0
  while [ "$i" -lt "$2" ]; do
    printf "$1"
    i=$((i + 1))
  done
}

printf "$head$note$tail" >"$out/one-note.not"
{ printf "$head"; repeat "$note" 20; printf "$tail"; } >"$out/twenty-notes.not"
printf "$head<!-- kept -->\r\n<?xml-stylesheet href=\"a.css\"?>\r\n$note<![CDATA[x]]>text$tail" \
  >"$out/other-nodes.not"
printf '<?xml version="1.0" encoding="windows-1252"?><NOTES><NOTE><DATA>caf\351</DATA></NOTE></NOTES>' \
  >"$out/windows-1252.not"
printf '<!DOCTYPE NOTES SYSTEM "notes.dtd"><NOTES><NOTE/></NOTES>' >"$out/external-doctype.not"

# Hostile shapes.
{ printf "$head<NOTE"; i=0; while [ "$i" -lt 100 ]; do printf ' a%d=""' "$i"; i=$((i + 1)); done
  printf "/>\r\n$tail"; } >"$out/many-attributes.not"
{ printf '<!DOCTYPE NOTES [<!ATTLIST NOTE x CDATA "%s">]>\r\n' "$(repeat x 100)"
  printf "$head"; repeat '<NOTE/>' 100; printf "$tail"; } >"$out/default-attribute.not"
printf '<!DOCTYPE NOTES [<!ENTITY e "eeeeeeee">]><NOTES><NOTE><DATA>&e;&e;</DATA></NOTE></NOTES>' \
  >"$out/entity.not"
{ printf "$head<NOTE>"; repeat '<a/>' 1000; printf "</NOTE>$tail"; } >"$out/empty-elements.not"
{ printf "$head<NOTE>"; repeat '<!---->' 1000; printf "</NOTE>$tail"; } >"$out/comments.not"
{ printf "$head"; repeat '<a>' 100; repeat '</a>' 100; printf "$tail"; } >"$out/deep.not"
printf "$head<NOTE><?a\302\240b?></NOTE>$tail" >"$out/no-break-space-instruction.not"
printf "$head<NOTE><?a\000b?></NOTE>$tail" >"$out/nul-instruction.not"
