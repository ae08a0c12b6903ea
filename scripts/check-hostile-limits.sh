#!/usr/bin/env bash
# Generates the hostile files of tests/support/HostileFiles.cpp and analyses each one with the
# release build of the viewer in console mode (`Sonoprobe -a`), one process per file. Checks that
# no process takes more than 64 MiB at its peak and that no analysis takes more than 100 ms of
# processor time beyond what the program needs to start and stop (measured on a file that no
# parser reads). Prints a table; exits non-zero when a file breaks a limit or the program fails.
#
#   scripts/check-hostile-limits.sh [release build folder, default build/]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
max_rss_kib=$((64 * 1024))
max_analysis_ms=100

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSONO_TESTS=OFF \
  -DSONO_SANITIZE=OFF && cmake --build "$build" --target Sonoprobe -j2; } >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  exit 1
fi
program=$build/bin/Sonoprobe
mkdir -p "$work/files" "$work/config"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/config/data

# The generator: the shared recipes and a main that writes them.
cat >"$work/generate.cpp" <<'EOF'
#include "tests/support/HostileFiles.h"
#include <cstdio>
int main(int, char** argv) {
    for (const testsupport::HostileFile& file : testsupport::MakeHostileFiles()) {
        testsupport::WriteHostileFile(argv[1], file);
        std::printf("%s\t%s\n", file.name.c_str(), file.recipe.c_str());
    }
}
EOF
c++ -std=c++20 -O2 -I"$root" "$work/generate.cpp" "$root/tests/support/HostileFiles.cpp" \
  -o "$work/generate"
"$work/generate" "$work/files" >"$work/recipes.tsv"

# Runs the program on one file: "peak-KiB cpu-ms wall-ms exit-status".
measure() {
  local status=0
  /usr/bin/time -f '%M %U %S %e' -o "$work/time" "$program" -a "$1" >"$work/out" 2>&1 ||
    status=$?
  read -r rss user sys wall <"$work/time"
  awk -v rss="$rss" -v user="$user" -v sys="$sys" -v wall="$wall" -v status="$status" \
    'BEGIN { printf "%d %.0f %.0f %d\n", rss, (user + sys) * 1000, wall * 1000, status }'
}

mib() { awk -v kib="$1" 'BEGIN { printf "%.1f", kib / 1024 }'; }

# Start-up and shutdown: the median of five runs on a file that no parser reads.
: >"$work/files/baseline.txt"
for _ in 1 2 3 4 5; do measure "$work/files/baseline.txt"; done | sort -n -k2 >"$work/baseline"
read -r base_rss base_cpu base_wall _ < <(sed -n 3p "$work/baseline")
rm "$work/files/baseline.txt"

printf '%-48s %8s %8s %8s %8s  %s\n' file "peak MiB" "cpu ms" "+cpu ms" "wall ms" verdict
printf '%-48s %8s %8d %8s %8d  %s\n' "(start and stop only)" "$(mib "$base_rss")" \
  "$base_cpu" - "$base_wall" baseline
failed=0 count=0 worst_rss=0 worst_extra=0
while IFS=$'\t' read -r name _; do
  read -r rss cpu wall status < <(measure "$work/files/$name")
  # Processor time is counted in steps of 10 ms and other programs disturb it: a file over
  # the limit is measured twice more and its best run counts.
  for _ in 1 2; do
    ((cpu - base_cpu > max_analysis_ms)) || break
    read -r rss2 cpu2 wall2 status2 < <(measure "$work/files/$name")
    if ((cpu2 < cpu)); then rss=$rss2 cpu=$cpu2 wall=$wall2 status=$status2; fi
  done
  extra=$((cpu > base_cpu ? cpu - base_cpu : 0))
  verdict=ok
  if ((status != 0)); then
    verdict="exit $status: $(head -c 200 "$work/out" | tr '\n' ' ')"
  elif ((rss > max_rss_kib)); then
    verdict="OVER ${max_rss_kib} KiB"
  elif ((extra > max_analysis_ms)); then
    verdict="OVER ${max_analysis_ms} ms"
  fi
  [[ $verdict == ok ]] || failed=1
  ((rss > worst_rss)) && worst_rss=$rss
  ((extra > worst_extra)) && worst_extra=$extra
  count=$((count + 1))
  printf '%-48s %8s %8d %8d %8d  %s\n' "$name" "$(mib "$rss")" "$cpu" "$extra" \
    "$wall" "$verdict"
done <"$work/recipes.tsv"
printf '\n%d files; highest peak %s MiB (limit 64), most analysis time %d ms (limit %d).\n' \
  "$count" "$(mib "$worst_rss")" "$worst_extra" "$max_analysis_ms"
exit "$failed"
