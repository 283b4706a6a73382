# Sourced by the benchmark scripts. timed_pair RUNS A B runs the commands
# (or functions) A and B alternately RUNS times each and prints the medians
# "wall_A cpu_A wall_B cpu_B" in seconds, cpu being user + system time of
# the command and all its children.
run_once() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
  awk '{ printf "%s %.4f\n", $1, $2 + $3 }' <<< "$t"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
timed_pair() {
  local runs=$1 a=$2 b=$3 i w c
  local aw=() ac=() bw=() bc=()
  for ((i = 0; i < runs; i++)); do
    read -r w c < <(run_once "$a"); aw+=("$w"); ac+=("$c")
    read -r w c < <(run_once "$b"); bw+=("$w"); bc+=("$c")
  done
  echo "$(printf '%s\n' "${aw[@]}" | median) $(printf '%s\n' "${ac[@]}" | median)" \
       "$(printf '%s\n' "${bw[@]}" | median) $(printf '%s\n' "${bc[@]}" | median)"
}
