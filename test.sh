#!/bin/bash
# Installs what is missing, builds Spoolwright and its tests, and runs every test
# with CTest; the exit status is the tests' result. `./test.sh --bench` also runs
# the benchmarks afterwards (they never decide the result).
set -euo pipefail
cd "$(dirname "$0")"

tools/setup-debian
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
