#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each from its seed corpus for a short,
# bounded time (FUZZ_SECONDS, default 30), FUZZ_JOBS targets at once (default: one per
# core). Fails on any crash, leak, sanitizer report or timeout; the reproducing input is
# left in build-fuzz/findings/. FUZZ_TARGETS (names separated by spaces) runs only those.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-30}
dir=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRUM_FUZZ=ON -DVELTRUM_TESTS=OFF -DVELTRUM_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
targets=${FUZZ_TARGETS:-$(cd "$dir/fuzz" && ls fuzz_* 2>/dev/null | grep -v '^fuzz_make_seeds$' || true)}
[ -n "$targets" ] || { echo "no fuzz targets"; exit 0; }
rm -rf "$dir/seeds" && mkdir -p "$dir/seeds" "$dir/findings"
"$dir/fuzz/fuzz_make_seeds" "$dir/seeds"
# Targets that take a path write each input to a file: memory, not disk, where there is some.
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
run_one() {
  local t=$1 dir=$2 seconds=$3
  local corpus="$dir/corpus/$t"
  mkdir -p "$corpus"
  [ -d "$dir/seeds/$t" ] && cp -n "$dir/seeds/$t"/* "$corpus"/ 2>/dev/null || true
  # CPU time is what a campaign is judged by; the target's own limit is wall time.
  local timer=()
  [ -x /usr/bin/time ] && timer=(/usr/bin/time -f "%U %S" -o "$dir/findings/$t.cpu")
  if "${timer[@]}" "$dir/fuzz/$t" "$corpus" -max_total_time="$seconds" -timeout=60 \
       -rss_limit_mb=3072 -max_len=262144 -artifact_prefix="$dir/findings/$t-" \
       -print_final_stats=1 >"$dir/findings/$t.log" 2>&1; then
    local runs cpu=""
    runs=$(grep -o 'number_of_executed_units: [0-9]*' "$dir/findings/$t.log" | grep -o '[0-9]*$')
    [ -s "$dir/findings/$t.cpu" ] && cpu=", cpu $(awk '{printf "%.0f", ($1+$2)/60}' "$dir/findings/$t.cpu") min"
    echo "fuzz $t: ok ($(grep -o 'cov: [0-9]*' "$dir/findings/$t.log" | tail -1), $runs runs$cpu)"
  else
    echo "fuzz $t: FAILED"; tail -40 "$dir/findings/$t.log"; return 1
  fi
}
export -f run_one
status=0
printf '%s\n' $targets | xargs -P "${FUZZ_JOBS:-$(nproc)}" -I{} bash -c 'run_one "$@"' _ {} "$dir" "$seconds" || status=1
n=$(printf '%s\n' $targets | wc -l)
if [ $status -eq 0 ]; then echo "fuzz: all $n targets ran clean"; else echo "fuzz: some targets failed"; fi
exit $status
