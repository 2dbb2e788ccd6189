#!/usr/bin/env bash
# Builds the tool, the simulated key and the tour (nothing else: the tests are scripts/test.sh's)
# and starts the tool against the demo simulated key (created on first use). Without a display
# it renders every window into PNG files instead (a headless tour).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

build=${TALVO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVO_SANITIZE=OFF -DTALVO_BUILD_TESTS=OFF
# The tool, the simulated key's driver, provider and command, and the tour.
cmake --build "$build" -j "$(nproc)" --target talvo-tool TalvoDriver MeroCsp talvo-sim talvo-tour

"$build/bin/talvo-sim" create --if-missing

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  tour=${TALVO_TOUR_DIR:-$PWD/tour}
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering every window into $tour instead."
  "$build/bin/talvo-tour" "$tour"
  exit 0
fi

exec "$build/bin/talvo-tool"
