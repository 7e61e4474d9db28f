#!/usr/bin/env python3
"""quillet-cli search and fwupdate against quillet-sim over pseudo-terminals, through the real termios
backend and in real time: the scan passes a silent port and finds the Programmer, the search switches
its firmware variant, fwupdate reflashes it, a line cut mid-transfer gives the link's message, and a
Programmer left inside a transfer by a killed program is reflashed once it has given the transfer up.
The bytes the program traced must be the bytes the simulator saw. The simulator runs strict: a byte
inside a prescribed pause would be refused and noted in its trace."""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

import sim_harness

cli, sim = sys.argv[1], sys.argv[2]
SCRAMBLED = [(3, 255), (2051, 2303), (10243, 10495)]


def start_sim(folder, trace, *args):
    return sim_harness.start_sim(sim, folder, "--strict", "--trace", trace, *args)


def stop_sim(proc, folder, trace):
    """Stops the simulator; its trace must show no byte refused inside a pause."""
    sim_harness.stop_sim(proc)
    text = open(os.path.join(folder, trace)).read()
    assert "# strict: 0 bytes refused" in text and "# strict: byte" not in text, trace
    return text


def run_cli(folder, ports, *args):
    return sim_harness.run_cli(cli, folder, ports, *args)


def sent_bytes(path):
    """The bytes a trace file shows going to the device."""
    out = []
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 3 and fields[1] == ">":
                out.append(int(fields[2], 16))
    return out


def restored(path):
    data = bytearray(open(path, "rb").read())
    for first, last in SCRAMBLED:
        for i in range(first, min(last + 1, len(data))):
            data[i] ^= 0xFF
    return data


def header(image):
    last, total = len(image) - 1, sum(image)
    return [last >> 8, last & 0xFF, (total >> 16) & 0xFF, (total >> 8) & 0xFF, total & 0xFF]


version = subprocess.run([sim, "--version"], capture_output=True, text=True)
assert version.returncode == 0 and re.fullmatch(r"quillet-sim \d+\.\d+\.\d+\n", version.stdout), version
usage = subprocess.run([sim, "--device-time", "soon"], capture_output=True, text=True)
assert usage.returncode == 2 and "--help" in usage.stderr, usage

with tempfile.TemporaryDirectory() as folder:
    fw = os.path.join(folder, "fw")
    assert subprocess.run([sim, "--write-firmware", fw, "--firmware-size", "2100"], capture_output=True).returncode == 0
    icp = restored(os.path.join(fw, "v0710_MainMCU_ICP.DAT"))

    # An ISP Programmer at an old version behind a silent port; the part needs the ICP variant. It
    # takes a moment to answer and to restart after an update.
    proc, ports = start_sim(folder, "sim.trace", "--decoys", "1", "--type", "0xAA", "--fw-version", "0x0700",
                            "--device-time", "2", "--restart-time", "1500")
    try:
        code, out, err = run_cli(folder, ports, "ports")
        assert code == 0 and [line.split("\t")[2] for line in out.splitlines()] == ports, out

        code, out, err = run_cli(folder, ports, "search", "--part", "QMC04A", "--firmware-dir", fw, "--trace", "cli.trace")
        assert code == 0, err
        assert f"Programmer found on {ports[1][5:]} ({ports[1]}), Prog. Type ICP, firmware version 0x0710\n" in out, out

        code, out, err = run_cli(folder, ports, "fwupdate", "--port", ports[1], "--part", "QMC04A", "--firmware-dir", fw)
        assert code == 0, err
        assert "Programmer's firmware is successfully updated !" in out, out
    finally:
        stop_sim(proc, folder, "sim.trace")

    # Search: probe of the silent port, probe of the Programmer, the connection, the switch to ICP,
    # then the version check. Then fwupdate: connection and the same file again.
    search = [0xC1, 0xC1, 0xC0, 0xC5] + header(icp) + list(icp) + [0xC1]
    assert sent_bytes(os.path.join(folder, "cli.trace")) == [0xC1] + search, "program trace"
    fwupdate = [0xC1, 0xC0, 0xC5] + header(icp) + list(icp)
    assert sent_bytes(os.path.join(folder, "sim.trace")) == search + fwupdate, "simulator trace"

    # The line is cut in the middle of the first block: the link reports, the verb fails.
    proc, ports = start_sim(folder, "cut.trace", "--type", "0xAB", "--fault", "disconnect-after:100")
    try:
        code, out, err = run_cli(folder, ports, "fwupdate", "--port", ports[0], "--part", "QMC04A", "--firmware-dir", fw)
        assert code == 1, (code, out, err)
        assert "Configure programmer error !" in err, err
        assert "No response from Programmer !" in err or "Send data error !" in err, err
    finally:
        stop_sim(proc, folder, "cut.trace")

    # The program is killed inside a transfer of a full-size file. The Programmer gives the transfer
    # up after 2000 ms of silence and answers again; the next fwupdate reflashes it.
    big = os.path.join(folder, "big")
    assert subprocess.run([sim, "--write-firmware", big], capture_output=True).returncode == 0
    proc, ports = start_sim(folder, "killed.trace", "--type", "0xAB", "--fw-version", "0x0700")
    try:
        update = ["fwupdate", "--port", ports[0], "--part", "QMC04A", "--firmware-dir", big]
        first = subprocess.Popen([cli, *update], cwd=folder, env=sim_harness.cli_env(ports), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, text=True)
        for line in first.stderr:  # the blocks start after this status line
            if line.startswith("!!! Note:"):
                break
        time.sleep(0.3)
        first.send_signal(signal.SIGKILL)
        first.wait(timeout=10)
        time.sleep(2.5)
        code, out, err = run_cli(folder, ports, *update)
        assert code == 0, err
        assert "Programmer's firmware is successfully updated !" in out, out
    finally:
        trace = stop_sim(proc, folder, "killed.trace")
    assert trace.count("# transfer given up after 2000 ms of silence") == 1, "killed.trace"
print("ok")
