#!/usr/bin/env bash
# Builds the fuzz targets, replays every committed corpus, then fuzzes each target for the given
# seconds (default 30). Exits non-zero when any target finds a crash, a leak, undefined
# behaviour, a timeout (5 s) or more than 256 MB of memory.
set -uo pipefail
seconds=${1:-30}
source "$(dirname "$0")/targets.sh"
"$fuzz_root/fuzz/build.sh" >/dev/null || exit 1

failed=0
for target in "${fuzz_targets[@]}"; do
  if ! fuzz_replay "$target" >"$fuzz_build/$target.replay.log" 2>&1; then
    echo "$target: corpus replay FAILED, see $fuzz_build/$target.replay.log"
    failed=1
  fi
done
for target in "${fuzz_targets[@]}"; do
  fuzz_run "$target" "$seconds" || failed=1
done
exit "$failed"
