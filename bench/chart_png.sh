#!/usr/bin/env bash
# chart_png.sh CLI [RUNS]: the whole `psykrona-cli chart` command writing a
# 1600 x 1200 PNG against the same command writing SVG, alternating in the
# same run; prints the medians of wall and CPU time (user + system) and the
# ratios.
set -euo pipefail
source "$(dirname "$0")/timing.sh"
cli=$1
runs=${2:-11}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
project=$(dirname "$cli")/examples
project=$(ls "$project"/*.pkx 2>/dev/null | head -1 || true)
project=${project:--}

png() { "$cli" chart "$project" "$dir/a.png"; }
svg() { "$cli" chart "$project" "$dir/a.svg"; }

"$cli" chart "$project" "$dir/check.png" && "$cli" chart "$project" "$dir/check.svg"
read -r mpw mpc msw msc < <(timed_pair "$runs" png svg)
awk -v pw="$mpw" -v pc="$mpc" -v sw="$msw" -v sc="$msc" -v n="$runs" -v p="$project" \
    -v pb="$(stat -c %s "$dir/a.png")" -v sb="$(stat -c %s "$dir/a.svg")" 'BEGIN {
  printf "chart %s, 1600 x 1200, median of %d\n", p, n
  printf "  PNG: %.1f ms wall, %.1f ms cpu, %d bytes\n", pw * 1000, pc * 1000, pb
  printf "  SVG: %.1f ms wall, %.1f ms cpu, %d bytes\n", sw * 1000, sc * 1000, sb
  printf "  ratio PNG/SVG wall %.2f, cpu %.2f\n", pw / sw, pc / sc }'
