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

# times_on_copies SOURCE COPY COMMAND...: runs COMMAND three times, each on a fresh copy of the file SOURCE at COPY
# (a run that changes its file), and fills the caller's arrays times (wall) and cpus (user + system), in ms.
times_on_copies() {
  local source=$1 copy=$2 t0 t1 used _
  shift 2
  times=() cpus=()
  for _ in 1 2 3; do
    cp "$source" "$copy"
    t0=$(date +%s%N)
    used=$(/usr/bin/time -f "%U %S" "$@" 2>&1 >/dev/null | tail -n 1)
    t1=$(date +%s%N)
    times+=("$(((t1 - t0) / 1000000))")
    cpus+=("$(echo "$used" | awk '{printf "%d", ($1 + $2) * 1000}')")
  done
}
