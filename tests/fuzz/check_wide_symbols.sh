#!/bin/bash
# Fails when a fuzz target imports a wide-string function from the C
# library: built with 16-bit wchar_t, the target must get every one of them
# from the shim (glibc's count 32-bit units).
set -euo pipefail
imported=$(nm -D --undefined-only "$1" | awk '{print $NF}' |
  grep -E '^(wcs|wmem|[a-z]*wprintf|[a-z]*wscanf|wcsto|wcsftime|fgetw|fputw|getw|putw|mbs|mbr|wcr|btowc|wctob|_?wfopen|wcwidth|wcswidth)' || true)
if [ -n "$imported" ]; then
  echo "$1 takes these wide-string functions from the C library (add them to tests/fuzz/shim):" >&2
  echo "$imported" >&2
  exit 1
fi
