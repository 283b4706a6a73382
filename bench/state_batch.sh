#!/usr/bin/env bash
# state_batch.sh CLI [ROWS]: pipes ROWS temperature and relative-humidity rows
# through `psykrona-cli state --batch` and, in the same run, the same bytes
# through `cat` as the reference; prints the medians of five runs, the rows
# per second and the ratio of the two.
set -euo pipefail
source "$(dirname "$0")/timing.sh"
cli=$1
rows=${2:-2000000}
seed=19
data=$(mktemp)
trap 'rm -f "$data"' EXIT
awk -v n="$rows" -v seed="$seed" 'BEGIN { srand(seed); print "temp,relhum";
  for (i = 0; i < n; i++) printf "%.2f,%.1f\n", -20 + rand() * 60, rand() * 100 }' > "$data"

batch() { cat "$data" | "$cli" state --batch | cat; }
reference() { cat "$data" | cat | cat; }

# Checks that the command really produced every row before timing it.
out=$(cat "$data" | "$cli" state --batch | wc -l)
[[ $out -eq $((rows + 1)) ]] || { echo "state --batch wrote $out lines for $rows rows" >&2; exit 1; }

read -r mbw mbc mrw mrc < <(timed_pair 5 batch reference)
awk -v n="$rows" -v bw="$mbw" -v bc="$mbc" -v rw="$mrw" -v rc="$mrc" -v seed="$seed" 'BEGIN {
  printf "state --batch, %d rows (seed %d), median of 5\n", n, seed
  printf "  state --batch pipe: %.3f s wall (%.0f rows/s), %.3f s cpu (%.0f rows/s)\n", bw, n / bw, bc, n / bc
  printf "  cat reference pipe: %.3f s wall, %.3f s cpu\n", rw, rc
  printf "  ratio wall %.2f, cpu %.2f\n", bw / rw, bc / rc }'
