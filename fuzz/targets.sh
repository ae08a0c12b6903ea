# Sourced by run.sh and run-long.sh: the targets, their dictionaries and their input limits.
# shellcheck shell=bash
fuzz_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzz_build=${SONO_FUZZ_BUILD:-$fuzz_root/build-fuzz}

fuzz_targets=(fuzz_analyse fuzz_tags fuzz_flac fuzz_registry_hive fuzz_tag_writer)

declare -A fuzz_dicts=(
  [fuzz_analyse]="id3 ape mpeg riff flac ogg ac3-dts wavpack monkey"
  [fuzz_tags]="id3 ape"
  [fuzz_flac]="flac"
  [fuzz_registry_hive]="registry"
  [fuzz_tag_writer]="id3 mpeg"
)
declare -A fuzz_max_len=(
  [fuzz_analyse]=16384
  [fuzz_tags]=8192
  [fuzz_flac]=8192
  [fuzz_registry_hive]=4096
  [fuzz_tag_writer]=4096
)

# AddressSanitizer's quarantine of freed memory would otherwise count against the RSS limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=10}

# The options every run uses.
fuzz_common_options=(-rss_limit_mb=256 -timeout=5 -print_final_stats=1)

# One dictionary file for the target, made from the dictionaries of its formats.
fuzz_dict_for() {
  local target=$1 out=$2 format
  : >"$out"
  for format in ${fuzz_dicts[$target]}; do
    cat "$fuzz_root/fuzz/dict/$format.dict" >>"$out"
  done
}

# Runs every committed seed and regression input once.
fuzz_replay() {
  local target=$1
  "$fuzz_build/$target" "${fuzz_common_options[@]}" -runs=0 "$fuzz_root/fuzz/corpus/$target"
}

# Fuzzes one target for the given seconds. New inputs go to a working corpus in the build
# folder, crashes to build-fuzz/artifacts/<target>/. The time and executions are logged.
fuzz_run() {
  local target=$1 seconds=$2 log work artifacts dict
  work=$fuzz_build/work/$target
  artifacts=$fuzz_build/artifacts/$target
  dict=$fuzz_build/$target.dict
  log=$fuzz_build/logs/$target-$(date +%Y%m%d-%H%M%S).log
  mkdir -p "$work" "$artifacts" "$fuzz_build/logs"
  fuzz_dict_for "$target" "$dict"
  local status=0
  "$fuzz_build/$target" "${fuzz_common_options[@]}" -max_total_time="$seconds" \
    -max_len="${fuzz_max_len[$target]}" -use_value_profile=1 -dict="$dict" \
    -artifact_prefix="$artifacts/" "$work" "$fuzz_root/fuzz/corpus/$target" >"$log" 2>&1 ||
    status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  printf '%s\t%s\t%s\t%s\t%s\n' "$(date -Is)" "$target" "$seconds" "${runs:-0}" "$status" \
    >>"$fuzz_build/fuzz-time.tsv"
  if ((status != 0)); then
    echo "$target: FAILED (exit $status), see $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5
  else
    echo "$target: ${runs:-0} runs in ${seconds}s, no finding"
  fi
  return "$status"
}
