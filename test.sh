#!/bin/bash
# Installs what is missing, builds Spoolwright and its tests, and runs every test
# with CTest; the exit status is the tests' result. `./test.sh --bench` also runs
# the benchmarks afterwards (they never decide the result); `--sanitize` and
# `--tsan` run the tests under runtime checks instead (see below). `--fuzz [seconds]`
# instead builds the fuzz targets and runs each that long (tools/fuzz, 60 s by default).
set -euo pipefail
cd "$(dirname "$0")"

tools/setup-debian

# The unit and window tests built with runtime checks, in a build folder of their
# own: --sanitize with AddressSanitizer and UndefinedBehaviorSanitizer, --tsan the
# tests of the two worker threads (the poll's and the page counter's) with
# ThreadSanitizer. The first error ends the test that made it.
sanitized() { # kind, folder, test selection, test programs
    cmake -S . -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPOOLWRIGHT_STRICT=ON \
        -DSPOOLWRIGHT_SANITIZE="$1" >/dev/null
    cmake --build "$2" -j"$(nproc)" --target "${@:4}"
    ctest --test-dir "$2" --output-on-failure --timeout 600 -R "$3"
}
case "${1:-}" in
--fuzz)
    exec tools/fuzz "${2:-60}" ;;
--sanitize)
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LSAN_OPTIONS=suppressions=$PWD/tools/sanitizer/leaks.supp
    sanitized address build-sanitize '^(unit|gui)\.' unit_tests gui_tests
    exit ;;
--tsan)
    # Qt and GLib are not built for ThreadSanitizer: what their own threads (the
    # network manager's) do through its interceptors is theirs to synchronise, and
    # it cannot see how they do it. Our code is still checked in full.
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1
    sanitized thread build-tsan '^gui\.(PageCountingWindow|JobView|LiveUpdates)\.' gui_tests
    exit ;;
esac

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
