#!/usr/bin/env bash
# scripts/sanitize.sh [ctest args...]: builds everything, tests included,
# with AddressSanitizer (leaks included), UndefinedBehaviorSanitizer and the
# checked standard library, and runs every test. A sanitizer report ends the
# test program, so the test fails. PSYKRONA_ASAN_BUILD names the build folder
# relative to the repository (default build/asan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PSYKRONA_ASAN_BUILD:-build/asan}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPSYKRONA_BENCH=OFF \
  -DCMAKE_PROJECT_Psykrona_INCLUDE="$root/cmake/Sanitize.cmake" -DPSYKRONA_SANITIZE=ON

# Suppressions name only Qt and system libraries, never our code.
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$root/scripts/sanitize/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$root/scripts/sanitize/ubsan.supp
cd "$root/$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@"
