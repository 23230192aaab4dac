# Timing helpers sourced by the benchmark scripts; `runs` sets how many times best() runs a command.
calc() { awk "BEGIN { print $1 }"; }
seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); calc "$end - $start"; }
# Shortest wall-clock time of `runs` runs of the command.
best() {
  local best="" t
  for _ in $(seq "$runs"); do
    t=$(seconds "$@")
    if [[ -z $best ]] || [[ $(calc "$t < $best") == 1 ]]; then best=$t; fi
  done
  echo "$best"
}
