#!/usr/bin/env bash
# Builds the Debian packages talvo-tool and talvo-key-simulator into ./packages (or
# $TALVO_PACKAGE_DIR), from a release build of their own (build-pkg, or $TALVO_PACKAGE_BUILD_DIR)
# with Debian's compiler and hardening flags. Install them with: apt-get install ./packages/talvo-*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

build=${TALVO_PACKAGE_BUILD_DIR:-build-pkg}
out=${TALVO_PACKAGE_DIR:-$PWD/packages}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads no CPPFLAGS: the fortify level goes with the compiler flags.
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DTALVO_SANITIZE=OFF -DTALVO_BUILD_TESTS=OFF -DTALVO_BUILD_BENCHMARKS=OFF "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"

mkdir -p "$out"
rm -f "$out"/talvo-*.deb
(cd "$build" && cpack -G DEB -B "$out" > cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/talvo-*.deb
