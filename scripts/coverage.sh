#!/usr/bin/env bash
# Line and branch coverage of src/ and tools/ by the whole test suite: builds in build-cov with
# gcc's --coverage (Debug, no optimisation, so lines map one to one), runs every ctest, and
# prints gcovr's summary. Installs gcovr (Debian package) when it is missing.
#   scripts/coverage.sh            # summary only
#   scripts/coverage.sh --html     # also build-cov/coverage.html, file by file
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if ! command -v gcovr >/dev/null; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends gcovr
fi

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-cov -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN410_BENCH=OFF "${launcher[@]}" \
      -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build build-cov -j"$jobs"
find build-cov -name '*.gcda' -delete            # counts from this run only
# Notes of targets that no longer exist (tests merged or removed) would make gcov fail.
grep -o 'CMakeFiles/[A-Za-z0-9_.-]*\.dir' build-cov/build.ninja | sort -u >build-cov/live-dirs.txt
find build-cov -name '*.gcno' | while read -r note; do
    grep -qxF "$(grep -o 'CMakeFiles/[A-Za-z0-9_.-]*\.dir' <<<"$note")" build-cov/live-dirs.txt ||
        rm -f "$note"
done
(cd build-cov && ctest --output-on-failure -j"$jobs" --timeout 600) || status=$?

# Exception-only branches (the unwinding paths gcc adds to every call) are left out: they are
# not decisions of this code.
# The file-by-file table goes to build-cov/coverage.txt; the totals to standard output.
report=(--root . --filter 'src/' --filter 'tools/' --exclude-throw-branches
        --exclude-unreachable-branches --output build-cov/coverage.txt --print-summary)
if [ "${1:-}" = "--html" ]; then report+=(--html-details build-cov/coverage.html); fi
gcovr "${report[@]}" -j"$jobs" build-cov
exit "${status:-0}"
