#!/usr/bin/env bash
# start.sh BUILD_DIR [RUNS]: the program's start up to the first paint of its
# start-up window (bench/start_probe: the program's own application object
# and run, all eight windows) against a minimal Qt program showing one dialog
# (bench/start_minimal), alternating in the same run, on the Qt platform of
# QT_QPA_PLATFORM (offscreen unless set; "xcb" starts a private Xvfb).
# Prints the medians of wall and CPU time (user + system) and the ratios.
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build=$1
runs=${2:-15}
platform=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM=$platform XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb=
if [[ $platform == xcb ]]; then
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb"' EXIT
  export DISPLAY=$display
  sleep 1
fi
probe() { "$build/bench/start_probe" "$build/bin"; }
minimal() { "$build/bench/start_minimal"; }

# Both must reach their paint (exit code 0) before they are timed.
probe > /dev/null 2>&1 || { echo "start_probe never painted the start-up window" >&2; exit 1; }
minimal > /dev/null 2>&1 || { echo "start_minimal never painted its dialog" >&2; exit 1; }
read -r mpw mpc mmw mmc < <(timed_pair "$runs" probe minimal)
awk -v pw="$mpw" -v pc="$mpc" -v mw="$mmw" -v mc="$mmc" -v n="$runs" -v p="$platform" 'BEGIN {
  printf "start to the first paint of the start-up window (%s), median of %d\n", p, n
  printf "  Psykrona:       %.1f ms wall, %.1f ms cpu\n", pw * 1000, pc * 1000
  printf "  minimal dialog: %.1f ms wall, %.1f ms cpu\n", mw * 1000, mc * 1000
  printf "  ratio wall %.2f, cpu %.2f\n", pw / mw, pc / mc }'
