#!/bin/bash
# Builds Spoolwright and starts it. On a fresh Debian 12 machine it first installs
# what is missing. When no print server answers on this computer, it starts a
# sandbox print server of this run's own, fills it with sample jobs, points
# Spoolwright at it and stops it again when Spoolwright ends.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "Spoolwright is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
    exit 2
fi

tools/setup-debian
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The program and the job monitor it starts beside itself; the tests are not needed.
cmake --build build -j"$(nproc)" --target spoolwright SWRJobMonitor

sandbox=""
stop_sandbox() {
    if [ -n "$sandbox" ]; then
        tools/sandbox-print-server stop --dir "$sandbox/server" >/dev/null 2>&1 || true
        rm -rf "$sandbox"
    fi
}
trap stop_sandbox EXIT

if ! lpstat -h localhost -r 2>/dev/null | grep -q "scheduler is running"; then
    # A server of this run's own on a free port, so that another run, or the
    # tests, keep theirs. Spoolwright gets a settings folder of its own for it:
    # the operator's settings, server history and log stay as they are, and the
    # settings name the sandbox's server and queue.
    sandbox=$(mktemp -d "${TMPDIR:-/tmp}/spoolwright-sandbox.XXXXXX")
    address=$(tools/sandbox-print-server start --dir "$sandbox/server" --port 0)
    tools/sandbox-print-server submit --dir "$sandbox/server" >/dev/null
    mkdir "$sandbox/appdata"
    printf '[Spoolwright]\r\nServer=%s\r\nQueue=Office-Laser\r\n' "$address" >"$sandbox/appdata/swr.ini"
    export APPDATA="$sandbox/appdata"
    echo "No print server on this computer: using the sandbox print server at $address" \
        "(stopped when Spoolwright ends)"
fi

build/bin/spoolwright "$@" &
program=$!
# Ending run.sh ends Spoolwright first; the sandbox goes once Spoolwright is gone.
trap 'kill -TERM "$program" 2>/dev/null || true' INT TERM HUP
# A signal ends a wait early: wait on until Spoolwright has ended, then take its
# exit status (bash keeps it for a second wait).
while kill -0 "$program" 2>/dev/null; do
    wait "$program" || true
done
status=0
wait "$program" || status=$?
exit "$status"
