#!/bin/bash
# Coverage-guided fuzzing of the readers (tests/fuzz/): installs what is
# missing, builds libpng and the targets natively with clang and the
# sanitizers into build/fuzz/, writes the seed corpus, then runs each target
# for N seconds under the limits below. The grown corpus stays in
# build/fuzz/corpus/<target>; a finding goes to build/fuzz/findings/<target>/
# with <finding>.cmd, the command that runs it again. Answers 1 when a target
# found something.
#
# usage: fuzz.sh [--seconds N] [--runs N] [--max-len N] [--jobs N] [--build-only] [--no-build] [--ci] [TARGET...]
#   --seconds N   fuzzing time of each target (60); --runs N stops a target after N executions
#   --max-len N   longest input mutated (8192); slow paths of file readers often need inputs of
#                 100 KB or more to pass the time limit. Regression inputs always run whole first.
#   --jobs N      targets run at once (half the cores)
#   --build-only  install, build and write the seeds; run nothing
#   --no-build    run what is built (CTest's short pass)
#   --ci          grow the corpus in a scratch folder: the run depends only on the seeds
# Targets: flap icq xml sasl settings history gif png colors smilies sounds, and
# chat accounts (mutated under Wine, in the Windows build, build/main, which
# is made or brought up to date first as scripts/test.sh does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${JOV_FUZZ_DIR:-$root/build/fuzz}
seconds=60 runs=0 maxlen=8192 jobs=$(( $(nproc) / 2 > 0 ? $(nproc) / 2 : 1 )) build=1 run=1 ci=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift ;;
    --runs) runs=$2; shift ;;
    --max-len) maxlen=$2; shift ;;
    --jobs) jobs=$2; shift ;;
    --build-only) run=0 ;;
    --no-build) build=0 ;;
    --ci) ci=1 ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift
done
native_all=(flap icq xml sasl settings history gif png colors smilies sounds)
wine_all=(chat accounts)
[ ${#targets[@]} -gt 0 ] || targets=("${native_all[@]}" "${wine_all[@]}")

# The limits that turn slowness and memory into findings. ASan keeps freed
# memory a while: a small quarantine keeps that out of the resident size.
limits=(-timeout=2 -rss_limit_mb=512 -malloc_limit_mb=256)
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:allocator_release_to_os_interval_ms=500:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

install() {
  local pkgs=(clang-14 libclang-rt-14-dev zlib1g-dev cmake ninja-build dpkg-dev python3 imagemagick) missing=()
  for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

if [ $build = 1 ]; then
  install
  for t in "${targets[@]}"; do
    if [[ " ${wine_all[*]} " == *" $t "* ]]; then
      "$root/scripts/setup.sh"
      "$root/scripts/build.sh"
      break
    fi
  done
  sanitize="-g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
  "$root/scripts/build-libpng.sh" "$tree/deps" "$tree/deps/work" -DCMAKE_C_COMPILER=clang-14 \
    "-DCMAKE_C_FLAGS=$sanitize" >/dev/null
  if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$root/tests/fuzz" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 \
          -DCMAKE_CXX_COMPILER=clang++-14 -DJOV_FUZZ_DEPS="$tree/deps" >/dev/null
  fi
  cmake --build "$tree" -j"$jobs"
  # The seeds follow the programs that write them and the samples' scripts.
  stamp=$tree/seeds/.stamp
  if [ ! -f "$stamp" ] || [ -n "$(find "$tree/bin/fuzz_seeds" "$root/tests/fuzz/make_seeds.sh" \
        "$root/tests/xmpp/data" "$root/app/core/skins/samples" "$root/app/core/alerts/samples" -newer "$stamp" \
        2>/dev/null | head -1)" ]; then
    "$root/tests/fuzz/make_seeds.sh" "$tree"
    touch "$stamp"
  fi
fi
[ $run = 1 ] || exit 0

# One target; its summary line goes to $tree/stats/<target>.
run_native() {
  local target=$1 corpus findings log
  findings=$tree/findings/$target
  if [ $ci = 1 ]; then corpus=$tree/ci/$target; rm -rf "$corpus"; else corpus=$tree/corpus/$target; fi
  mkdir -p "$corpus" "$findings" "$tree/stats" "$tree/logs"
  log=$tree/logs/$target.log
  local before
  before=$(ls "$findings" | grep -v '\.cmd$' | sort || true)
  local dict=() seeds=()
  [ -f "$root/tests/fuzz/dict/$target.dict" ] && dict=(-dict="$root/tests/fuzz/dict/$target.dict")
  for d in "$root/tests/fuzz/corpus/$target" "$tree/seeds/$target"; do [ -d "$d" ] && seeds+=("$d"); done
  # The regression inputs of mended findings, however long, each run whole
  # first; the fuzzing then mutates inputs up to the length asked for.
  local whole=()
  for d in "$root/tests/fuzz/corpus/$target" "$tree/regressions/$target"; do
    [ -d "$d" ] && whole+=("$d"/*)
  done
  local stop=(-max_total_time="$seconds")
  [ "$runs" -gt 0 ] && stop+=(-runs="$runs")
  stop+=(-max_len="$maxlen")
  local status=0
  if [ ${#whole[@]} -gt 0 ] && ! "$tree/bin/fuzz_$target" "${limits[@]}" -artifact_prefix="$findings/" \
       "${whole[@]}" >"$log" 2>&1; then
    status=1
  fi
  [ $status = 0 ] && "$tree/bin/fuzz_$target" "$corpus" "${seeds[@]}" "${limits[@]}" "${dict[@]}" "${stop[@]}" \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  local new
  new=$(comm -13 <(echo "$before") <(ls "$findings" | grep -v '\.cmd$' | sort || true) | grep -v '^$' || true)
  for f in $new; do
    echo "$tree/bin/fuzz_$target ${limits[*]} $findings/$f" >"$findings/$f.cmd"
  done
  local execs speed cov size
  execs=$(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$log" | awk '{print $2}' | tail -1)
  speed=$(grep -ao 'stat::average_exec_per_sec: *[0-9]*' "$log" | awk '{print $2}' | tail -1)
  cov=$(grep -ao 'cov: [0-9]*' "$log" | awk '{print $2}' | tail -1)
  size=$(ls "$corpus" | wc -l)
  local verdict=ok
  [ $status = 0 ] || verdict="failed ($status), see $log"
  [ -z "$new" ] || verdict="FINDING: $(echo $new) (see $findings)"
  printf '%-9s %10s runs %7s exec/s %6s edges %6s corpus  %s\n' "$target" "${execs:-?}" "${speed:-?}" \
    "${cov:-?}" "$size" "$verdict" | tee "$tree/stats/$target"
  [ -z "$new" ] && [ $status = 0 ]
}

# Under Wine, through the Windows build's test session.
run_wine() {
  local target=$1 exe=$root/build/main/bin/jov_fuzz_wine.exe findings=$tree/findings/$1
  if [ ! -f "$exe" ]; then
    echo "$target: needs the Windows build (scripts/build.sh) for $exe" | tee "$tree/stats/$target"
    return 1
  fi
  mkdir -p "$findings" "$tree/stats" "$tree/logs"
  local log=$tree/logs/$target.log status=0
  (cd "$root/build/main/bin" && "$root/cmake/wine-run.sh" jov_fuzz_wine.exe "$target" --seconds "$seconds" \
      --dict "Z:$root/tests/fuzz/dict/$target.dict" --findings "Z:$findings" \
      --reproduce "cd $root/build/main/bin && $root/cmake/wine-run.sh jov_fuzz_wine.exe $target --run Z:$findings/" \
      "Z:$root/tests/fuzz/corpus/$target" "Z:$tree/seeds/$target") >"$log" 2>&1 || status=$?
  echo "$(tail -1 "$log")$( [ $status = 0 ] || echo " FINDING or failure ($status), see $log")" | tee "$tree/stats/$target"
  return $status
}

# The Wine targets run in the test session; one is started unless one is set.
for t in "${targets[@]}"; do
  if [[ " ${wine_all[*]} " == *" $t "* ]] && [ -z "${WINEPREFIX:-}" ]; then
    trap '"$root/scripts/wine-session.sh" stop' EXIT
    eval "$("$root/scripts/wine-session.sh" start)"
    break
  fi
done

failed=0
pids=()
for t in "${targets[@]}"; do
  if [[ " ${native_all[*]} " == *" $t "* ]]; then
    run_native "$t" & pids+=($!)
  elif [[ " ${wine_all[*]} " == *" $t "* ]]; then
    run_wine "$t" & pids+=($!)
  else
    echo "unknown target $t" >&2; failed=1; continue
  fi
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
