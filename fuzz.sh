#!/usr/bin/env bash
# ./fuzz.sh [seconds] [target...]: builds the fuzz targets (clang, libFuzzer,
# ASan + UBSan; no Qt) and runs each for the given time (default 60 s),
# one after the other. Exits non-zero on any finding; the input that caused
# it is kept under <build>/findings/. Every finding becomes a regression test
# in tests/hardening/ with its input in tests/hardening/inputs/<target>/.
#
# Seeds: fuzz/corpus/<target> (kept in the repository, never written) and
# the regression inputs; what a run learns goes to <build>/corpus/<target>
# and is reused by the next run. PSYKRONA_FUZZ_BUILD sets the build folder
# (default build/fuzz).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(xml pkx pkr lng languages)
build=${PSYKRONA_FUZZ_BUILD:-build/fuzz}
[[ $build == /* ]] || build=$root/$build

"$root/scripts/install-deps.sh"
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/findings" "$build/logs"
failed=()
for t in "${targets[@]}"; do
  work=$build/corpus/$t
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/findings/$t-")
  [[ -f $root/fuzz/dict/$t.dict ]] && args+=(-dict="$root/fuzz/dict/$t.dict")
  seeds=("$root/fuzz/corpus/$t")
  [[ -d $root/tests/hardening/inputs/$t ]] && seeds+=("$root/tests/hardening/inputs/$t")
  log=$build/logs/$t.log
  start=$SECONDS
  if "$build/fuzz_$t" "${args[@]}" "$work" "${seeds[@]}" > "$log" 2>&1; then
    status=clean
  else
    status=FINDING
    failed+=("$t")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "fuzz_$t: ${runs:-?} runs in $((SECONDS - start)) s, corpus $(find "$work" -type f | wc -l) inputs: $status"
  if [[ $status != clean ]]; then
    grep -E '^(==[0-9]+==ERROR|SUMMARY|\*\*\*)|runtime error|artifact_prefix|Test unit written' "$log" | head -20 || true
    echo "  full log: $log"
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "Findings in: ${failed[*]}" >&2
  exit 1
fi
