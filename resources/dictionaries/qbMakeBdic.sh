#!/bin/sh
# Converts one hunspell dictionary (<source>.dic and <source>.aff) into the web engine's .bdic.
# qbMakeBdic.sh <converter> <source without extension> <output .bdic>
# The converted format holds words of up to about a hundred bytes: longer entries (ko.dic has
# one of 513 bytes) are dropped and the count on the first line follows.
set -eu
converter=$1
source=$2
output=$3
maxbytes=96

work=$(mktemp -d "${TMPDIR:-/tmp}/qbbdic.XXXXXX")
trap 'rm -rf "$work"' EXIT
name=$(basename "$output" .bdic)

LC_ALL=C awk -v max="$maxbytes" 'NR > 1 && length($0) <= max' "$source.dic" > "$work/words"
{ wc -l < "$work/words" | tr -d ' '; cat "$work/words"; } > "$work/$name.dic"
cp "$source.aff" "$work/$name.aff"

if ! "$converter" "$work/$name.dic" "$work/$name.bdic" > "$work/log" 2>&1; then
  cat "$work/log" >&2
  echo "qbMakeBdic: $converter could not convert $source.dic" >&2
  exit 1
fi
mkdir -p "$(dirname "$output")"
mv "$work/$name.bdic" "$output.tmp"
mv "$output.tmp" "$output"
