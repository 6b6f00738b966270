#!/bin/bash
# The debug sections of a runnable tree are split off: the images keep no
# debug section, name their debug file, are laid out by pages (so that Wine
# maps them from the file), still load and run, and a second split leaves
# images and debug files as they are.
# usage: split_debug_test.sh <split-debug.sh> <wine-run.sh> <bin folder>
set -uo pipefail
split=$1 run=$2 bin=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
objdump=x86_64-w64-mingw32-objdump
fail() { echo "FAIL: $*"; exit 1; }

# A program on the program's own libraries and the copied C++ runtime.
mkdir -p "$work/bin/Langs"
cp "$bin"/bench_settings.exe "$bin"/jov_common.dll "$bin"/libstdc++-6.dll "$bin"/libgcc_s_seh-1.dll \
   "$bin"/libwinpthread-1.dll "$work/bin/" || fail "cannot copy the images"
cp "$bin"/Langs/JOV_English.dll "$work/bin/Langs/" || fail "cannot copy a language file"
"$objdump" -h "$work/bin/libstdc++-6.dll" | grep -q ' \.debug_info' || fail "the runtime has no debug sections to split"

"$split" "$work/bin" "$work/debug" || fail "split-debug.sh failed"
for image in bench_settings.exe jov_common.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
             Langs/JOV_English.dll; do
  sections=$("$objdump" -h "$work/bin/$image") || fail "$image is no longer an image"
  grep -q ' \.debug_' <<<"$sections" && fail "$image keeps debug sections"
  grep -q ' \.gnu_debuglink' <<<"$sections" || fail "$image does not name its debug file"
  "$objdump" -h "$work/debug/$image.debug" | grep -q ' \.debug_info' || fail "no debug information for $image"
  "$objdump" -p "$work/bin/$image" >"$work/headers" || fail "$image has no headers"
  grep -q '^FileAlignment[[:space:]]*0*1000$' "$work/headers" || fail "$image is not laid out by pages"
done

# Stripped, they still load: without arguments the program answers its usage (2).
(cd "$work/bin" && "$run" ./bench_settings.exe </dev/null >/dev/null 2>&1)
code=$?
[ "$code" = 2 ] || fail "the stripped program ended with $code"

before=$(cd "$work" && find bin debug -type f -exec md5sum {} + | sort)
"$split" "$work/bin" "$work/debug" || fail "a second split failed"
after=$(cd "$work" && find bin debug -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || fail "a second split changed the tree"
echo "split: images lean, debug files beside them, program runs"
