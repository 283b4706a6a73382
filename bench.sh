#!/usr/bin/env bash
# ./bench.sh: builds Release and runs every benchmark program, printing the
# median of five repetitions of each benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build/release -DCMAKE_BUILD_TYPE=Release -DPSYKRONA_TESTS=OFF -DPSYKRONA_BENCH=ON
for b in "$root"/build/release/bench/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_filter="${BENCH_FILTER:-.}" 2>/dev/null | grep -E '_median|^Benchmark|^-' || true
done
echo "== state_batch"
"$root/bench/state_batch.sh" "$root/build/release/bin/psykrona-cli"
echo "== chart_png"
"$root/bench/chart_png.sh" "$root/build/release/bin/psykrona-cli"
echo "== start"
"$root/bench/start.sh" "$root/build/release"
echo "== cli_start"
"$root/bench/cli_start.sh" "$root/build/release/bin/psykrona-cli"
echo "== large_project"
"$root/bench/large_project.sh" "$root/build/release/bench/large_project_probe"
"$root/bench/large_project.sh" "$root/build/release/bench/large_project_probe" 10000 11
