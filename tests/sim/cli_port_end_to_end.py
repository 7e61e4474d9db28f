#!/usr/bin/env python3
"""The Programmer verbs as a user meets them on real pseudo-terminals: a named port is the only port
touched, links to it are followed, a variant switch is announced, a stale remembered port does not
spoil a gang search that then finds the Gang Programmer, and Ctrl-C lets a firmware transfer finish
(once) or aborts it with what to do next (twice)."""
import os
import signal
import subprocess
import sys
import tempfile
import time

import sim_harness

cli, sim = sys.argv[1], sys.argv[2]
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


def start_sim(folder, *args):
    return sim_harness.start_sim(sim, folder, *args)


def run_cli(folder, ports, *args):
    return sim_harness.run_cli(cli, folder, ports, *args)


def received(trace):
    """Lines of a simulator trace that show a byte reaching the device."""
    if not os.path.exists(trace):
        return []
    return [line for line in open(trace) if len(line.split()) == 3 and line.split()[1] == ">"]


def settings_file(path, mode, part, port):
    record = bytearray(256)
    record[0], record[1], record[2] = mode, part & 0xFF, part >> 8
    open(path, "wb").write(bytes(record) + port.encode())


def interrupted_update(folder, fw, signals, recover=False):
    """fwupdate against a fresh Programmer, with `signals` SIGINTs once the transfer runs; with
    `recover`, fwupdate again once the Programmer has given the cut transfer up (2 s of silence)."""
    proc, ports = start_sim(folder, "--type", "0xAB")
    try:
        run = subprocess.Popen([cli, "fwupdate", "--port", ports[0], "--part", "QMC04A", "--firmware-dir", fw],
                               cwd=folder, env=sim_harness.cli_env(ports), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
        lines = []
        for line in run.stderr:
            lines.append(line)
            if "Don't disconnect" in line:
                break
        for _ in range(signals):
            time.sleep(0.2)
            run.send_signal(signal.SIGINT)
        out, err = run.communicate(timeout=30)
        result = (run.returncode, out, "".join(lines) + err)
        if recover:
            time.sleep(2.5)
            code, out, err = run_cli(folder, ports, "fwupdate", "--port", ports[0], "--part", "QMC04A",
                                     "--firmware-dir", fw)
            result = (result[0], result[1] + out, result[2] + err) if code == 0 else (-code, out, err)
        return result
    finally:
        sim_harness.stop_sim(proc)


with tempfile.TemporaryDirectory() as folder:
    fw = os.path.join(folder, "fw")
    subprocess.run([sim, "--write-firmware", fw, "--firmware-size", "2100"], check=True, capture_output=True)

    proc, ports = start_sim(folder, "--type", "0xAA", "--trace", "sim.trace")
    try:
        # A missing node, short or long: the system's reason, exit 1, and not a byte to any port.
        for missing in ["/dev/ttyUSB93", "/dev/serial/by-id/usb-Invented_Programmer_Q0001-if00-port0"]:
            code, out, err = run_cli(folder, ports, "search", "--port", missing, "--part", "QMC04A")
            check(f"missing {missing}", code == 1 and f"{missing}: No such file or directory" in err, err)
        check("nothing sent", received(os.path.join(folder, "sim.trace")) == [], "bytes reached the simulator")

        # A long link to the device is followed to its node; the switch to ICP firmware is announced.
        link = os.path.join(folder, "usb-Invented_Programmer_Q0001-if00-port0")
        os.symlink(ports[0], link)
        code, out, err = run_cli(folder, [], "search", "--port", link, "--part", "QMC04A", "--firmware-dir", fw)
        check("link followed", code == 0 and f"({ports[0]})" in out, out + err)
        check("switch announced", "Switching the Programmer from ISP to ICP firmware, about 4 s\n" in err, err)
    finally:
        sim_harness.stop_sim(proc)

    # Gang mode: the remembered port is silent now; the scan finds the Gang Programmer: exit 0.
    proc, ports = start_sim(folder, "--device", "gang", "--decoys", "1")
    try:
        settings_file(os.path.join(folder, "stale.log"), 0x41, 110, ports[0])
        code, out, err = run_cli(folder, ports, "search", "--gang", "--settings", "stale.log")
        check("stale gang port", code == 0 and "Prog. Type Gang Programmer" in out and "FAIL" in err, out + err)
    finally:
        sim_harness.stop_sim(proc)

    code, out, err = interrupted_update(folder, fw, 1)
    check("one Ctrl-C", code == 0 and "finishes first" in err and "successfully updated" in out, out + err)
    code, out, err = interrupted_update(folder, fw, 2, recover=True)
    check("two Ctrl-C", code == 1 and "power-cycle the Programmer, then run quillet-cli fwupdate" in err, out + err)
    check("recovered", "successfully updated" in out, out + err)

for failure in failures:
    print(failure)
print(f"{8 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
