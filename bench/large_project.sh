#!/usr/bin/env bash
# large_project.sh PROBE [POINTS] [RUNS] [BASE_PROBE]: generates a project of
# POINTS points (default one million, seed 19) with bench/large_project_probe
# and, alternating in the same run, opens it, saves it again and streams it
# through `xmllint --stream` as the reference; prints the medians, the ratios
# to xmllint and the peak memory (maximum resident set by /usr/bin/time -v)
# against the file's size. A BASE_PROBE built from older code is timed in the
# same run for a before-and-after comparison. The saved file must equal the
# generated one byte for byte.
set -euo pipefail
probe=$1
points=${2:-1000000}
runs=${3:-5}
base=${4:-}
for tool in xmllint /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "large_project.sh needs $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$probe" generate "$points" "$dir/in.pkx" > /dev/null
bytes=$(stat -c %s "$dir/in.pkx")

# run NAME COMMAND...: one timed run; appends "seconds peak_kb cpu" to
# $dir/NAME. The seconds are the probe's own for its step, or the wall time
# for xmllint; cpu is the step's user and system time, or the whole run's
# for xmllint ("-" from a probe that does not tell it).
run() {
  local name=$1 out
  shift
  out=$( { /usr/bin/time -v "$@" 2> "$dir/time.txt"; } )
  local kb wall cpu
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$dir/time.txt")
  cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { print s }' "$dir/time.txt")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0
    for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$dir/time.txt")
  if [[ $name == xmllint ]]; then
    echo "$wall $kb $cpu" >> "$dir/$name"
  else
    read -r seconds count cpu <<< "$out"
    [[ $count -eq $points ]] || { echo "$name handled $count of $points points" >&2; exit 1; }
    echo "$seconds $kb ${cpu:--}" >> "$dir/$name"
  fi
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column_median() { awk -v c="$2" '{ print $c }' "$dir/$1" | median; }

names=(open save xmllint)
[[ -n $base ]] && names+=(base_open base_save)
for ((i = 0; i < runs; i++)); do
  run open "$probe" open "$dir/in.pkx"
  run save "$probe" save "$dir/in.pkx" "$dir/out.pkx"
  cmp -s "$dir/in.pkx" "$dir/out.pkx" || { echo "the saved file differs from the one opened" >&2; exit 1; }
  rm -f "$dir/out.pkx"
  run xmllint xmllint --stream "$dir/in.pkx"
  if [[ -n $base ]]; then
    run base_open "$base" open "$dir/in.pkx"
    run base_save "$base" save "$dir/in.pkx" "$dir/out.pkx"
    rm -f "$dir/out.pkx"
  fi
done

echo "large project, $points points, $bytes bytes, median of $runs; load: $(uptime | sed 's/.*load average: //')"
ref=$(column_median xmllint 1)
for name in "${names[@]}"; do
  cpu=$(column_median "$name" 3)
  awk -v n="$name" -v s="$(column_median "$name" 1)" -v kb="$(column_median "$name" 2)" -v ref="$ref" -v b="$bytes" \
    -v cpu="$cpu" 'BEGIN { printf "  %-10s %8.3f s  %5.2f x xmllint  peak %7.1f MB = %.2f x file  cpu %s s\n", n, s, s / ref,
      kb / 1024, kb * 1024 / b, cpu == "-" ? "-" : sprintf("%.3f", cpu) }'
done
