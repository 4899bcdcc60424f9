#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the normal build (RelWithDebInfo): unit, window, integration and fuzz-corpus tests;
#   2. the core and link tests again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the link tests under ThreadSanitizer.
# Build folders: build-test, build-asan, build-tsan (kept between runs for speed).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Most of the time goes into compiling three builds; ccache, where installed, keeps what an
# earlier run compiled.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

echo "== normal build"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs" --timeout 600)

echo "== address and undefined-behaviour sanitizers (core)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN410_WITH_QT=OFF \
      -DQN410_BENCH=OFF "-DQN410_SANITIZE=address;undefined" "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600 -L core)

if [ -x scripts/test-tsan.sh ]; then
    echo "== thread sanitizer (link)"
    scripts/test-tsan.sh
fi
