#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds with the checked standard
# library, and runs every test. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build/test -DCMAKE_BUILD_TYPE=Release -DPSYKRONA_ASSERTIONS=ON
cd "$root/build/test"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
