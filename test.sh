#!/bin/bash
# Installs what is missing, builds Spoolwright and its tests, and runs every test
# with CTest; the exit status is the tests' result. `./test.sh --bench` also runs
# the benchmarks afterwards (they never decide the result). `./test.sh --fuzz [seconds]`
# instead builds the fuzz targets and runs each that long (tools/fuzz, 60 s by default).
set -euo pipefail
cd "$(dirname "$0")"

tools/setup-debian
if [ "${1:-}" = "--fuzz" ]; then
    exec tools/fuzz "${2:-60}"
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPOOLWRIGHT_STRICT=ON >/dev/null
cmake --build build -j"$(nproc)"

status=0
ctest --test-dir build --output-on-failure --timeout 300 || status=$?

if [ "${1:-}" = "--bench" ]; then
    for bench in build/bench/*; do
        [ -x "$bench" ] && "$bench" || true
    done
fi
exit $status
