#!/usr/bin/env bash
# Builds the Debian package a parent installs with `sudo apt-get install ./torvane_<version>_amd64.deb`:
# a Release build in its own folder, packed by CPack with the dependencies dpkg-shlibdeps finds.
# The package is left in build-package/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the programs and the icons are built; cpack does not build the tests first.
# Debian's hardening flags, as a Debian package build sets them: stack protector, fortified
# functions, read-only relocations bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTORVANE_BUILD_BENCHMARKS=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"$(nproc)" --target torvane torvane-cli torvane_icons torvane_docs
(cd build-package && cpack -G DEB)
ls -l build-package/torvane_*.deb
# What Debian's archive checks would say: no error and no warning may remain.
lintian --fail-on error,warning \
    build-package/torvane_*.deb
