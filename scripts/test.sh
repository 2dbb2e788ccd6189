#!/usr/bin/env bash
# Builds the test configuration (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every
# test with CTest on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

build=${TALVO_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALVO_SANITIZE=ON -DTALVO_WERROR=ON
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
