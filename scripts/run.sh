#!/usr/bin/env bash
# Builds the tool and starts it against the demo simulated key (created on first use).
# Without a display it renders every window into PNG files instead (a headless tour).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

build=${TALVO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVO_SANITIZE=OFF
cmake --build "$build" -j "$(nproc)"

"$build/bin/talvo-sim" create --if-missing

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  tour=${TALVO_TOUR_DIR:-$PWD/tour}
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering every window into $tour instead."
  "$build/bin/talvo-tour" "$tour"
  exit 0
fi

exec "$build/bin/talvo-tool"
