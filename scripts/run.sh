#!/usr/bin/env bash
# Installs what is missing, builds the program and the exchange simulator, and runs the program
# in a folder of the user's ($QN410_WORKDIR, by default ~/qn410-work) with its port COM1 leading
# to qn410-sim on a pseudo-terminal, so that Upload/Download works at once. The simulator's
# exchanges keep their data in exchanges.txt of that folder from one run to the next. The
# simulator is stopped when the program ends.
#
# With QN410_COM1 already set (for example QN410_COM1=/dev/ttyUSB0) no simulator is started and
# the program talks to that port. Arguments are passed to the program (a setting file to open).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display. On a machine without a desktop run it as:" >&2
    echo "    xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

"$repo/scripts/install-deps.sh"

build="${QN410_BUILD_DIR:-$repo/build-run}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQN410_BENCH=OFF \
        >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target qn410 qn410-sim

workdir="${QN410_WORKDIR:-$HOME/qn410-work}"
mkdir -p "$workdir"
cd "$workdir"

sim_pid=""
stop_sim() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true  # the simulator saves exchanges.txt first
        wait "$sim_pid" 2>/dev/null || true
    fi
}
trap stop_sim EXIT

if [ -z "${QN410_COM1:-}" ]; then
    sim_args=(--save exchanges.txt --trace qn410-sim-trace.txt)
    if [ -f exchanges.txt ]; then sim_args+=(--config exchanges.txt); fi
    coproc SIM { exec "$build/tools/qn410-sim/qn410-sim" "${sim_args[@]}" 2>qn410-sim.log; }
    sim_pid=$SIM_PID
    if ! read -r -t 10 port <&"${SIM[0]}"; then
        echo "run.sh: qn410-sim did not start; see $workdir/qn410-sim.log" >&2
        exit 1
    fi
    # Whatever else the simulator prints goes to its log, so it never waits for a reader (a
    # copy of the descriptor: background jobs do not inherit the coprocess's own).
    exec 3<&"${SIM[0]}"
    cat <&3 >>qn410-sim.log &
    exec 3<&-
    export QN410_COM1="$port"
    echo "run.sh: exchange simulator on $port (COM1), folder $workdir" >&2
else
    echo "run.sh: COM1 is $QN410_COM1, folder $workdir" >&2
fi

status=0
"$build/src/app/qn410" "$@" || status=$?
exit "$status"
