#!/usr/bin/env bash
# Longer fuzzing on request: run-long.sh [minutes per target, default 30] [targets...]. One
# process at a time so the machine stays usable. The working corpora in build-fuzz/work/ grow
# from run to run; fuzz/corpus/ stays as committed.
set -uo pipefail
minutes=${1:-30}
source "$(dirname "$0")/targets.sh"
"$fuzz_root/fuzz/build.sh" >/dev/null || exit 1
failed=0
# Further arguments name the targets to run; all by default.
(($# > 1)) && fuzz_targets=("${@:2}")
for target in "${fuzz_targets[@]}"; do
  fuzz_run "$target" $((minutes * 60)) || failed=1
done
awk -F'\t' '{ s[$2] += $3; r[$2] += $4 } END { for (t in s) printf "%s: %.2f h, %d runs in all\n", t, s[t] / 3600, r[t] }' \
  "$fuzz_build/fuzz-time.tsv"
exit "$failed"
