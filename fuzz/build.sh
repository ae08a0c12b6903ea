#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ (or the folder given as $SONO_FUZZ_BUILD).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SONO_FUZZ_BUILD:-$root/build-fuzz}
compiler=$(command -v clang++ || command -v clang++-14)
cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$build" -j"${SONO_JOBS:-2}"
