#!/bin/bash
# Builds Spoolwright and starts it. On a fresh Debian 12 machine it first installs
# what is missing. When no print server answers on this computer, it starts the
# sandbox print server, fills it with sample jobs and points Spoolwright at it.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "Spoolwright is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
    exit 2
fi

tools/setup-debian
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target spoolwright

# With no remembered server, Spoolwright connects to the computer named by
# COMPUTERNAME; here that is the sandbox server's address.
if ! lpstat -h localhost -r 2>/dev/null | grep -q "scheduler is running"; then
    address=$(tools/sandbox-print-server start)
    tools/sandbox-print-server submit >/dev/null
    echo "No print server on this computer: using the sandbox print server at $address"
    export COMPUTERNAME="${COMPUTERNAME:-$address}"
fi

exec build/bin/spoolwright "$@"
