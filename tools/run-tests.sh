#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build and one
# with AddressSanitizer and UndefinedBehaviorSanitizer. Window tests run in Xvfb. The
# normal build's test binaries also run once each as a single process.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash tools/install-deps.sh

jobs=$(nproc)
# One screen for every window test: the HDR-display tests need 1920 columns on it.
xvfb_screen="-screen 0 1920x1200x24 -noreset"
# Mesa's software renderer at OpenGL 4.6, compiling every shader afresh.
gl_env=(MESA_GL_VERSION_OVERRIDE=4.6 MESA_GLSL_VERSION_OVERRIDE=460 MESA_SHADER_CACHE_DISABLE=true
        LIBGL_ALWAYS_SOFTWARE=1)
run_suite() {  # $1: build folder, rest: extra CMake arguments
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  xvfb-run -a -s "$xvfb_screen" \
    env "${gl_env[@]}" \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

# Every test binary once more as a single process (CTest gives each test a process of its
# own): a test that passes only because of, or fails only because of, what an earlier test
# left behind fails here.
run_binaries_whole() {  # $1: build folder
  local dir=$1
  xvfb-run -a -s "$xvfb_screen" \
    env "${gl_env[@]}" \
    bash -c 'cd "$1/tests" && failed=0
      for exe in ./*_tests; do
        echo "-- ${exe#./} in one process"
        "$2/tools/with-temp-home.sh" "$exe" --gtest_brief=1 || failed=1
      done
      exit $failed' whole "$root/$dir" "$root"
}

# Code that differs from the tree's .clang-format fails before anything is built.
echo "== format =="
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "== normal build =="
run_suite build
echo "== normal build, each test binary in one process =="
run_binaries_whole build
echo "== sanitizer build =="
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0 \
  run_suite build-asan -DVELTRUM_SANITIZE=ON -DVELTRUM_BENCH=OFF
if [ -x tools/fuzz/run-short.sh ]; then
  echo "== fuzz pass =="
  bash tools/fuzz/run-short.sh
fi
