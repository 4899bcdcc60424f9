#!/usr/bin/env bash
# Builds the core under ThreadSanitizer (build-tsan) and runs the link tests: the engine's unit
# tests, the two-thread stress test (user-interface thread queueing, resetting and ticking
# against a channel thread) and the fuzz corpus.
#
# The Qt side (CSioThread, the broker) is not run here: Debian's Qt is not built with
# ThreadSanitizer, and every cross-thread hand-over in Qt (postEvent, BlockingQueuedConnection)
# synchronises through Qt's own futex-based QMutex/QSemaphore, which ThreadSanitizer cannot see,
# so it reports each of them as a race. The engine's lock is a std::mutex and is fully checked.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN410_WITH_QT=OFF \
      -DQN410_BENCH=OFF -DQN410_SANITIZE=thread "${launcher[@]}" >/dev/null
cmake --build build-tsan -j"$jobs" --target link_engine_test fuzz_link_replay

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
(cd build-tsan && ctest --output-on-failure --timeout 600 -R '^(Link|fuzz_link_corpus)')
