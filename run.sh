#!/usr/bin/env bash
# ./run.sh [project.pkx]: installs what is missing, builds (Release) and starts Psykrona.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build/release -DCMAKE_BUILD_TYPE=Release -DPSYKRONA_TESTS=OFF -DPSYKRONA_BENCH=ON
if [[ -x "$root/build/release/bin/psykrona" ]]; then
  exec "$root/build/release/bin/psykrona" "$@"
fi
echo "The window is not built yet; here is the command-line tool instead." >&2
exec "$root/build/release/bin/psykrona-cli" --help
