#!/usr/bin/env bash
# Builds the Debian package and tries it the way an installer would on a clean Debian 12:
# a fresh minimal system (debootstrap, kept in $ROOT between runs) installs the package with apt,
# an ordinary user starts the installed program under a virtual display, and the work file must
# appear in that user's data folder. Needs root and the Debian archive; takes a few minutes the
# first time. Not part of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${ROOT:-/var/tmp/qn410-bookworm}

scripts/install-deps.sh
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null

cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQN410_BENCH=OFF \
      $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
cmake --build build-pkg -j"$(nproc)" --target qn410 qn410ctl qn410-sim
(cd build-pkg && cpack -G DEB >/dev/null)
deb=$(ls build-pkg/qn410_*.deb)

if [ ! -x "$ROOT/usr/bin/apt-get" ]; then
    echo "== debootstrap bookworm into $ROOT"
    rm -rf "$ROOT"
    debootstrap --variant=minbase bookworm "$ROOT" http://deb.debian.org/debian >/dev/null
fi
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
cp "$deb" "$ROOT/tmp/"
mount --bind /proc "$ROOT/proc"
trap 'umount "$ROOT/proc"' EXIT

echo "== apt install ./$(basename "$deb")"
chroot "$ROOT" bash -c "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq &&
    apt-get install -y -qq ./tmp/$(basename "$deb") xvfb xauth >/dev/null"
chroot "$ROOT" bash -c 'id tester >/dev/null 2>&1 || useradd -m tester'

echo "== start /usr/bin/qn410 as an ordinary user under Xvfb"
chroot "$ROOT" su tester -c 'cd ~ && rm -rf ~/.local/share/*/QN410 &&
    (xvfb-run -a timeout 8 /usr/bin/qn410; true) &&
    work=$(find ~/.local/share -name qn410work.txt) && test -n "$work" &&
    echo "work file: $work" && cat "$work" && test ! -e /usr/qn410work.txt'
chroot "$ROOT" qn410ctl --help >/dev/null
echo "package test passed"
