#!/usr/bin/env python3
"""A 128 KB APROM written through a chip's boot loader with Fast Protocol: the whole
`quillet-cli update --mode comisp` process against quillet-sim's chip on a pseudo-terminal, in real
time, the chip taking no time of its own. The floor is the wire time of every byte at 8N1 plus the
pauses the protocol prescribes; prints measured / floor (at most 1.05 is the target) and the bytes
per second beside baud / 10.

comisp_update_floor.py CLI SIM [RATE...]   (rates: 115200 by default; 9600 takes 2.5 minutes)"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "sim"))
import sim_harness  # noqa: E402

PART, PART_CODE, SIZE = "QLB128D", 28, 128 * 1024
# Rate: (the chip's baud code, the floor in seconds).
FLOORS = {115200: (115, 14.06), 9600: (9, 145.08)}

cli, sim = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
rates = [int(r) for r in sys.argv[3:]] or [115200]
with tempfile.TemporaryDirectory() as folder:
    record = bytearray(256)
    record[0], record[1], record[8:10] = 0x02, PART_CODE, b"\xff\xff"  # byte 40 is 0: Fast Protocol
    open(os.path.join(folder, "GUI.LOG"), "wb").write(bytes(record))
    open(os.path.join(folder, "aprom.bin"), "wb").write(bytes((i * 13 + (i >> 8)) & 0xFF for i in range(SIZE)))
    for rate in rates:
        code, floor = FLOORS[rate]
        proc, ports = sim_harness.start_sim(sim, folder, "--device", "chip", "--part", PART, "--baud-code", str(code),
                                            "--reset-after", "0", "--chips", "1")
        try:
            start = time.monotonic()
            run = subprocess.run([cli, "update", "--mode", "comisp", "--part", PART, "--aprom", "aprom.bin", "--port",
                                  ports[0], "-q"], cwd=folder, env=sim_harness.cli_env(ports), capture_output=True,
                                 text=True)
            measured = time.monotonic() - start
        finally:
            sim_harness.stop_sim(proc)
        if run.returncode != 0:
            sys.exit(f"{rate}: the update failed: {run.stderr}")
        print(f"{rate:>6} baud: {measured:7.2f} s, floor {floor:7.2f} s, ratio {measured / floor:.3f}; "
              f"{SIZE / measured:7.0f} bytes/s (baud/10 = {rate // 10})")
