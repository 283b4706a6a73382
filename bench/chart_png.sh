#!/usr/bin/env bash
# chart_png.sh CLI [RUNS]: the whole `psykrona-cli chart` command writing a
# 1600 x 1200 PNG against the same command writing SVG, alternating in the
# same run; prints the medians of wall and CPU time (user + system) and the
# ratios.
set -euo pipefail
cli=$1
runs=${2:-11}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
project=$(dirname "$cli")/examples
project=$(ls "$project"/*.pkx 2>/dev/null | head -1 || true)
project=${project:--}

run() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$cli" chart "$project" "$1" > /dev/null 2>&1; } 2>&1 )
  awk '{ printf "%s %.4f\n", $1, $2 + $3 }' <<< "$t"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$cli" chart "$project" "$dir/check.png" && "$cli" chart "$project" "$dir/check.svg"
pw=() pc=() sw=() sc=()
for ((i = 0; i < runs; i++)); do
  read -r w c < <(run "$dir/a.png"); pw+=("$w"); pc+=("$c")
  read -r w c < <(run "$dir/a.svg"); sw+=("$w"); sc+=("$c")
done
mpw=$(printf '%s\n' "${pw[@]}" | median); mpc=$(printf '%s\n' "${pc[@]}" | median)
msw=$(printf '%s\n' "${sw[@]}" | median); msc=$(printf '%s\n' "${sc[@]}" | median)
awk -v pw="$mpw" -v pc="$mpc" -v sw="$msw" -v sc="$msc" -v n="$runs" -v p="$project" \
    -v pb="$(stat -c %s "$dir/a.png")" -v sb="$(stat -c %s "$dir/a.svg")" 'BEGIN {
  printf "chart %s, 1600 x 1200, median of %d\n", p, n
  printf "  PNG: %.1f ms wall, %.1f ms cpu, %d bytes\n", pw * 1000, pc * 1000, pb
  printf "  SVG: %.1f ms wall, %.1f ms cpu, %d bytes\n", sw * 1000, sc * 1000, sb
  printf "  ratio PNG/SVG wall %.2f, cpu %.2f\n", pw / sw, pc / sc }'
