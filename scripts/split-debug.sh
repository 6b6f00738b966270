#!/bin/bash
# Moves the debug sections of every program and library under a bin/ folder
# into files of their own in a debug folder (same relative path plus ".debug"),
# each named in its image for a debugger, and lays every image's sections out
# on page boundaries in its file. Wine reads an image whose sections cannot be
# mapped page by page into private memory whole, debug sections and all; one
# laid out by pages is mapped from the file, shared, and read only where used.
#   split-debug.sh <bin folder> <debug folder>
set -euo pipefail
bin=$1
debug=$2
objcopy=x86_64-w64-mingw32-objcopy
objdump=x86_64-w64-mingw32-objdump
page=0x1000
find "$bin" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 |
while IFS= read -r -d '' image; do
  # Read whole before matching: a match that stops reading early fails the pipe.
  sections=$("$objdump" -h "$image")
  if grep -q ' \.debug_' <<<"$sections"; then
    rel=${image#"$bin"/}
    mkdir -p "$debug/$(dirname "$rel")"
    "$objcopy" --only-keep-debug "$image" "$debug/$rel.debug"
    "$objcopy" --strip-debug --add-gnu-debuglink="$debug/$rel.debug" --file-alignment "$page" "$image"
  elif ! grep -q '^FileAlignment[[:space:]]*0*1000$' <<<"$("$objdump" -p "$image")"; then
    "$objcopy" --file-alignment "$page" "$image"
  fi
done
