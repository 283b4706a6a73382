#!/usr/bin/env bash
# build.sh <build-dir> <cmake args...>: configures and builds what changed.
set -euo pipefail
dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
# Configuring an up-to-date tree is quick and changes nothing.
cmake -S "$root" -B "$root/$dir" -G Ninja "$@" > /dev/null
cmake --build "$root/$dir"
