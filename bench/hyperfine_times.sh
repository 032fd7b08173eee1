# Sourced by the benchmark scripts. hyperfine_times RUNS COMMAND...: times each command with hyperfine and fills
# the caller's associative arrays wall and cpu, keyed by the caller's labels (in the order of its array
# commands), with the median wall time and the mean processor time (user + system), in milliseconds.
hyperfine_times() {
  local runs=$1
  shift
  local csv command _mean _stddev median user system _min _max k
  csv=$(mktemp /tmp/lexivo-bench.XXXXXX)
  hyperfine -N --warmup 3 --runs "$runs" --style none --export-csv "$csv" "$@" >/dev/null 2>&1
  while IFS=, read -r command _mean _stddev median user system _min _max; do
    [ "$command" = command ] && continue
    for k in "${!commands[@]}"; do
      if [ "${commands[$k]}" = "$command" ]; then
        wall[${labels[$k]}]=$(echo "scale=2; $median * 1000 / 1" | bc)
        cpu[${labels[$k]}]=$(echo "scale=2; ($user + $system) * 1000 / 1" | bc)
      fi
    done
  done < "$csv"
  rm -f "$csv"
}
