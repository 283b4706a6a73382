#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds with the checked standard
# library, and runs every test. Exits non-zero on any failure.
# ./test.sh --lint: runs clang-tidy on the core instead, with the compile
# commands of the same build, and fails on any warning.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
if [[ ${1:-} == --lint ]]; then
  # The compile commands come from configuring; nothing needs building.
  cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPSYKRONA_ASSERTIONS=ON > /dev/null
  exec "$root/scripts/lint.sh" build/test
fi
"$root/scripts/build.sh" build/test -DCMAKE_BUILD_TYPE=Release -DPSYKRONA_ASSERTIONS=ON
cd "$root/build/test"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
