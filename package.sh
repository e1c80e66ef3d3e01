#!/bin/bash
# Builds the Debian package of Spoolwright into build-package/ and checks it; on a
# fresh Debian 12 machine it first installs what is missing. Prints the package's
# path: install it with `sudo apt install ./build-package/package/spoolwright_*.deb`.
set -euo pipefail
cd "$(dirname "$0")"

tools/setup-debian
# Built with the flags and hardening Debian builds its own packages with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B build-package -DCMAKE_BUILD_TYPE=None -DSPOOLWRIGHT_TESTS=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
tools/check-package build-package
