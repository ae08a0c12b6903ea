#!/usr/bin/env bash
# Installs what is missing, builds, and prints the console report of the given paths (default:
# the bundled sample files).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DSONO_TESTS=OFF >/dev/null
cmake --build "$root/build" -j2 >/dev/null
if (($#)); then
  exec "$root/build/bin/Sonoprobe" -a "$@"
fi
exec "$root/build/bin/Sonoprobe" -a "$root"/samples/*
