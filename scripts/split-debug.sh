#!/bin/bash
# Moves the debug sections of every program and library under a bin/ folder
# into files of their own in a debug folder (same relative path plus ".debug"),
# each named in its image for a debugger. Wine reads an image whose sections
# cannot be mapped page by page into private memory whole, debug sections and
# all: the images it runs must not carry them.
#   split-debug.sh <bin folder> <debug folder>
set -euo pipefail
bin=$1
debug=$2
objcopy=x86_64-w64-mingw32-objcopy
objdump=x86_64-w64-mingw32-objdump
find "$bin" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 |
while IFS= read -r -d '' image; do
  # Already split (or built without them): the image is left alone.
  "$objdump" -h "$image" | grep -q ' \.debug_' || continue
  rel=${image#"$bin"/}
  mkdir -p "$debug/$(dirname "$rel")"
  "$objcopy" --only-keep-debug "$image" "$debug/$rel.debug"
  "$objcopy" --strip-debug --add-gnu-debuglink="$debug/$rel.debug" "$image"
done
