#!/usr/bin/env bash
# scripts/lint.sh <build-dir>: runs clang-tidy (.clang-tidy) on every source
# of the core library, with the compile commands of that build, and fails on
# any warning.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
[[ $build == /* ]] || build=$root/$build
commands=$build/compile_commands.json
[[ -f $commands ]] || { echo "lint: $commands is missing; configure $build first" >&2; exit 2; }

# The core is what the build compiles into psykrona_engine and psykrona_core.
mapfile -t sources < <(python3 - "$commands" <<'PY'
import json, sys
for entry in json.load(open(sys.argv[1])):
    if any(lib in entry.get("output", entry["command"]) for lib in ("psykrona_core.dir", "psykrona_engine.dir")):
        print(entry["file"])
PY
)
[[ ${#sources[@]} -gt 0 ]] || { echo "lint: no core sources in $commands" >&2; exit 2; }
echo "clang-tidy on ${#sources[@]} core sources"
# clang-tidy counts the warnings it suppressed in system headers; only
# findings are shown.
set +e
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet 2>&1 |
  grep -v '^[0-9]* warnings\? generated\.$'
status=${PIPESTATUS[1]}
set -e
if [[ $status -ne 0 ]]; then
  echo "lint: findings above" >&2
  exit 1
fi
echo "lint: clean"
