#!/usr/bin/env python3
"""download and update as production runs them, against quillet-sim on pseudo-terminals: a project
downloaded once, then chip after chip (single ICP with S/N) and Ctrl-C; a gang run with a worn
socket; a second copy kept off the settings file; quillet-cli killed at random points, then run
again; each fault of the device model said and recovered from. The simulator's chips.csv is held
against Production.csv and the settings file: no S/N on two passed chips, every logged PASS stepped
the counter, every chip given up is logged and warned of."""
import csv
import json
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import time

import sim_harness

cli, sim = sys.argv[1], sys.argv[2]
random.seed(1207)
check = sim_harness.Checks()
FIRST_SN = 100


def write_settings(path, mode):
    """QMC04A in `mode`, S/N programming at 0xFF0 from FIRST_SN, the counter counting up from 0."""
    record = bytearray(256)
    record[0], record[1], record[8:10], record[10], record[40] = mode, 110, b"\xff\xff", 1, 1
    record[11:15], record[16:24], record[24:32], record[32] = (0xFF0).to_bytes(4, "little"), sim_harness.bcd(1), sim_harness.bcd(FIRST_SN), 1
    open(path, "wb").write(bytes(record))


def rows(path):
    return list(csv.DictReader(open(path))) if os.path.exists(path) else []


class Sim:
    def __init__(self, folder, *args):
        self.folder = folder
        self.proc, self.ports = sim_harness.start_sim(sim, folder, *args)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        sim_harness.stop_sim(self.proc)

    def start_cli(self, *args):
        return subprocess.Popen([cli, *args, "--port", self.ports[-1], "--firmware-dir", "fw"], cwd=self.folder,
                                env=sim_harness.cli_env(self.ports), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)

    def cli(self, *args, stdin=""):
        run = self.start_cli(*args)
        out, err = run.communicate(stdin, timeout=60)
        return run.returncode, out, err


def single_line(folder):
    write_settings(os.path.join(folder, "GUI.LOG"), 0x01)
    sim_harness.run_cli(cli, folder, [], "project", "save", "--part", "QMC04A", "--mode", "icp", "--aprom", "code.bin",
                        "line.TPJ")
    project = bytearray(open(os.path.join(folder, "line.TPJ"), "rb").read())
    project[72], project[74:78], project[80:88], project[96] = 1, (0xFF0).to_bytes(4, "little"), sim_harness.bcd(1), 1  # S/N, counter
    open(os.path.join(folder, "line.TPJ"), "wb").write(project)
    with Sim(folder, "--dump", "dump") as s:
        code, out, err = s.cli("download", "--project", "line.TPJ")
        check("download", code == 0 and "Programmer is successfully downloaded !" in out, out + err)
        code, out, err = s.cli("update", "--project", "line.TPJ", "--loop", "20", "--json", "--trace", "update.trace",
                               stdin="\n" * 19)
        lines = [json.loads(line) for line in out.splitlines()]
        check("20 chips", code == 0 and [(l["result"], l["sn"], l["counter"]) for l in lines] ==
              [("PASS", f"{FIRST_SN + i:016d}", i + 1) for i in range(20)], out + err)
        sent = [line.split()[2] for line in open(os.path.join(folder, "update.trace")) if line.split()[1:2] == [">"]]
        check("storage kept", "C2" not in sent, "the update downloaded the storage again")
        run = s.start_cli("update", "--project", "line.TPJ", "--loop", "0")
        run.stdin.write("\n" * 200)
        run.stdin.flush()
        time.sleep(0.5)
        run.send_signal(signal.SIGINT)
        out, err = run.communicate(timeout=30)
        check("Ctrl-C", run.returncode == 0 and "the chip in hand is finished first" in err and
              re.search(r"PASS \S+: \d+ chips passed, 0 failed\n$", out), out + err)
    sns = [int(c["sn"]) for c in rows(os.path.join(folder, "dump", "chips.csv")) if c["passed"] == "1"]
    check("chips", sns == list(range(FIRST_SN, FIRST_SN + len(sns))) and len(sns) > 20, str(sns))
    check("tally", sim_harness.settings_tally(os.path.join(folder, "GUI.LOG")) == (FIRST_SN + len(sns), len(sns)), "")


def gang_line(folder):
    """A socket that fails every chip: the loop goes on, the exit code says 1."""
    write_settings(os.path.join(folder, "GUI.LOG"), 0x41)
    job = ("--gang", "--part", "QMC04A", "--aprom", "code.bin")
    with Sim(folder, "--device", "gang", "--chip", "2:fail-aprom", "--dump", "dump") as s:
        code, out, err = s.cli("download", *job)
        check("gang download", code == 0 and "Gang Programmer is successfully downloaded !" in out, out + err)
        code, out, err = s.cli("update", *job, "--loop", "2", stdin="\n")
        check("gang loop", code == 1 and "Failed chips:  #2" in err and "6 chips passed, 2 failed" in err, out + err)
    sns = [c["sn"] for c in rows(os.path.join(folder, "dump", "chips.csv")) if c["passed"] == "1"]
    check("gang chips", len(sns) == 6 and len(set(sns)) == 6, str(sns))


def killed_runs(folder):
    settings = os.path.join(folder, "GUI.LOG")
    write_settings(settings, 0x01)
    job = ("--part", "QMC04A", "--aprom", "code.bin")
    said = ""
    # The Programmer gives up an exchange cut off by the kill after 0.3 s of silence.
    with Sim(folder, "--device-time", "2", "--stall-timeout", "300", "--dump", "dump") as s:
        s.cli("download", *job)
        for attempt in range(6):
            run = s.start_cli("update", *job, "--loop", "0")
            if attempt == 0:
                time.sleep(0.3)
                code, out, err = sim_harness.run_cli(cli, folder, [], "update", *job)
                check("second copy", code == 1 and "This application program is running now !" in err, out + err)
            run.stdin.write("\n" * 50)
            run.stdin.flush()
            time.sleep(random.uniform(0.05, 0.8))
            run.kill()
            said += run.communicate()[1]
            time.sleep(0.4)
        code, out, err = s.cli("update", *job, "--loop", "3", stdin="\n\n")
        said += err
        check("run after kills", code == 0, out + err)
    log = rows(os.path.join(folder, "Production.csv"))
    on_chips = [int(c["sn"]) for c in rows(os.path.join(folder, "dump", "chips.csv")) if c["passed"] == "1"]
    sn, counter = sim_harness.settings_tally(settings)
    logged_pass = [int(l["sn"]) for l in log if l["result"] == "PASS"]
    check("no S/N twice", len(on_chips) == len(set(on_chips)), str(on_chips))
    check("S/N past the chips", max(on_chips) < sn, f"{sn} {on_chips}")
    check("counter steps", counter >= len(logged_pass), f"{counter} < {len(logged_pass)}")
    check("logged PASS on a chip", set(logged_pass) <= set(on_chips), str(logged_pass))
    check("every start closed", [l["result"] for l in log].count("STARTED") * 2 == len(log), str(log))
    for line in log:
        if line["result"] == "SKIPPED" and line["sn"]:
            value = int(line["sn"])
            check("skip warned", f"S/N='{value // 10**8:08d},{value % 10**8:08d}'" in said, said)


def faults(folder):
    """Each fault gives its message; once the device has given up the exchange, the next run works."""
    for fault, gang, verb, message in [("sum-error:1", False, "download", "Programmer's storage checksum error !"),
                                       ("wrong-sync:1", True, "download", "Sync #1 error !"),
                                       ("bad-report:1", True, "update", "Please click 'Download Programmer'")]:
        write_settings(os.path.join(folder, "GUI.LOG"), 0x41 if gang else 0x01)
        job = ["--part", "QMC04A", "--aprom", "code.bin"] + (["--gang"] if gang else [])
        with Sim(folder, "--fault", fault, "--stall-timeout", "300", *(["--device", "gang"] if gang else [])) as s:
            if verb == "update":
                s.cli("download", *job)
            code, out, err = s.cli(verb, *job)
            check(f"{fault} said", code == 1 and message in err, out + err)
            time.sleep(0.4)
            code, out, err = s.cli(verb, *job)
            check(f"{fault} recovered", code == 0, out + err)


with tempfile.TemporaryDirectory() as top:
    subprocess.run([sim, "--write-firmware", os.path.join(top, "fw"), "--firmware-size", "600"], check=True,
                   capture_output=True)
    open(os.path.join(top, "code.bin"), "wb").write(bytes((i * 7 + 3) & 0x7F for i in range(256)))  # no 0xC2
    for scenario in (single_line, gang_line, killed_runs, faults):
        folder = os.path.join(top, scenario.__name__)  # its own settings file, Production.csv and dump
        os.mkdir(folder)
        for name in ("fw", "code.bin"):
            os.symlink(os.path.join(top, name), os.path.join(folder, name))
        scenario(folder)

check.finish()
