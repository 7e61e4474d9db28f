#!/usr/bin/env python3
"""quillet-cli search and fwupdate against quillet-sim over pseudo-terminals, through the real termios
backend and in real time: the scan passes a silent port and finds the Programmer, the search switches
its firmware variant, fwupdate reflashes it, and a line cut mid-transfer gives the link's message.
The bytes the program traced must be the bytes the simulator saw."""
import os
import subprocess
import sys
import tempfile

cli, sim = sys.argv[1], sys.argv[2]
SCRAMBLED = [(3, 255), (2051, 2303), (10243, 10495)]


def start_sim(folder, *args):
    proc = subprocess.Popen([sim, *args], cwd=folder, stdout=subprocess.PIPE, text=True)
    ports = []
    for line in proc.stdout:
        if line.strip() == "ready":
            return proc, ports
        ports.append(line.split()[1])
    raise SystemExit("quillet-sim ended before it was ready")


def stop_sim(proc):
    proc.terminate()
    proc.wait(timeout=10)


def run_cli(folder, ports, *args):
    env = dict(os.environ, QUILLET_SCAN_SYSTEM_PORTS="0", QUILLET_EXTRA_PORTS=":".join(ports))
    run = subprocess.run([cli, *args], cwd=folder, env=env, capture_output=True, text=True, timeout=60)
    return run.returncode, run.stdout, run.stderr


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


with tempfile.TemporaryDirectory() as folder:
    fw = os.path.join(folder, "fw")
    assert subprocess.run([sim, "--write-firmware", fw, "--firmware-size", "2100"], capture_output=True).returncode == 0
    icp = restored(os.path.join(fw, "v0710_MainMCU_ICP.DAT"))

    # An ISP Programmer at an old version behind a silent port; the part needs the ICP variant.
    proc, ports = start_sim(folder, "--decoys", "1", "--type", "0xAA", "--fw-version", "0x0700", "--trace", "sim.trace")
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
        stop_sim(proc)

    # Search: probe of the silent port, probe of the Programmer, the connection, the switch to ICP,
    # then the version check. Then fwupdate: connection and the same file again.
    search = [0xC1, 0xC1, 0xC0, 0xC5] + header(icp) + list(icp) + [0xC1]
    assert sent_bytes(os.path.join(folder, "cli.trace")) == [0xC1] + search, "program trace"
    fwupdate = [0xC1, 0xC0, 0xC5] + header(icp) + list(icp)
    assert sent_bytes(os.path.join(folder, "sim.trace")) == search + fwupdate, "simulator trace"

    # The line is cut in the middle of the first block: the link reports, the verb fails.
    proc, ports = start_sim(folder, "--type", "0xAB", "--fault", "disconnect-after:100")
    try:
        code, out, err = run_cli(folder, ports, "fwupdate", "--port", ports[0], "--part", "QMC04A", "--firmware-dir", fw)
        assert code == 1, (code, out, err)
        assert "Configure programmer error !" in err, err
        assert "No response from Programmer !" in err or "Send data error !" in err, err
    finally:
        stop_sim(proc)
print("ok")
