#!/usr/bin/env python3
# Times a whole download ("Q00") from qn410-sim over its pseudo-terminal with a minimal tool side.
# Usage: download_time.py SIMULATOR SETTING_FILE EXPECTED_RECORDS (1 + 144 x SwitchCnt)
import os, select, subprocess, sys, time, tty
sim = subprocess.Popen([sys.argv[1], "--config", sys.argv[2], "--idle-exit", "5"], stdout=subprocess.PIPE)
port = sim.stdout.readline().decode().strip()
fd = os.open(port, os.O_RDWR | os.O_NOCTTY); tty.setraw(fd)
buf = b""
def byte():
    global buf
    while not buf:
        r, _, _ = select.select([fd], [], [], 5)
        if not r: raise SystemExit("time-out")
        buf += os.read(fd, 4096)
    b, buf = buf[0], buf[1:]
    return b
def frame(body):
    x = 0x13
    for c in body: x ^= c
    return b"\x10\x02" + body + b"\x10\x03" + bytes([x])
start = time.monotonic()
os.write(fd, b"\x10\x05"); assert (byte(), byte()) == (0x10, 0x06)
os.write(fd, frame(b"Q00")); assert (byte(), byte()) == (0x10, 0x06)
os.write(fd, b"\x10\x04")
want = int(sys.argv[3]); got = 0; wire = 0
while got < want:
    assert (byte(), byte()) == (0x10, 0x05); os.write(fd, b"\x10\x06")
    while True:
        assert byte() == 0x10
        c = byte()
        if c == 0x04: break
        n = 0
        while True:
            b = byte(); n += 1
            if b == 0x10 and byte() == 0x03: break
        byte(); got += 1; wire += n + 4
        os.write(fd, b"\x10\x06")
t = time.monotonic() - start
print(f"{got} records, {wire} bytes on the wire, {t:.2f} s over the pty; at 19200 baud 8E1 the bytes alone take {wire * 11 / 19200:.1f} s")
sim.terminate(); sim.wait()
