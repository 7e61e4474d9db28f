#!/usr/bin/env python3
"""download and update as production runs them, against quillet-sim on pseudo-terminals: a project
downloaded once and updated chip after chip (single ICP with S/N), a gang run with a worn socket, a
second copy kept off the settings file, quillet-cli killed at random points and run again, and each
fault of the device model said and recovered from. The simulator's record of the chips (chips.csv)
is held against Production.csv and the settings file: no S/N is on two passed chips, every logged
PASS stepped the counter, and every chip given up is logged and warned of."""
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
failures = []
checks = 0

SN_ADDRESS = 0xFF0
FIRST_SN = 100


def check(name, condition, detail=""):
    global checks
    checks += 1
    if not condition:
        failures.append(f"{name}: {detail}")


def bcd(value):
    return bytes.fromhex(f"{value:016d}")


def write_settings(path, mode, part=110, counter=0):
    """ICP QMC04A (or `mode`), S/N programming at SN_ADDRESS from FIRST_SN, the counter counting up."""
    record = bytearray(256)
    record[0], record[1], record[2] = mode, part & 0xFF, part >> 8
    record[8:10] = b"\xff\xff"
    record[10] = 1
    record[11:15] = SN_ADDRESS.to_bytes(4, "little")
    record[16:24], record[24:32] = bcd(1), bcd(FIRST_SN)
    record[32] = 1
    record[34:38] = counter.to_bytes(4, "little")
    record[40] = 1
    open(path, "wb").write(bytes(record))


def tally(path):
    """The S/N value and chip counter a settings file holds."""
    record = open(path, "rb").read()
    return int(record[24:32].hex()), int.from_bytes(record[34:38], "little")


def production_log(folder):
    path = os.path.join(folder, "Production.csv")
    return list(csv.DictReader(open(path))) if os.path.exists(path) else []


def programmed_chips(dump):
    path = os.path.join(dump, "chips.csv")
    return list(csv.DictReader(open(path))) if os.path.exists(path) else []


def passed(row):
    return row["passed"].strip().lower() in ("1", "true", "yes", "pass")


class Sim:
    def __init__(self, folder, *args):
        self.folder = folder
        self.proc, self.ports = sim_harness.start_sim(sim, folder, *args)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        sim_harness.stop_sim(self.proc)

    def cli(self, *args, stdin=""):
        run = subprocess.run([cli, *args, "--port", self.ports[-1], "--firmware-dir", "fw"], cwd=self.folder,
                             env=sim_harness.cli_env(self.ports), input=stdin, capture_output=True, text=True,
                             timeout=60)
        return run.returncode, run.stdout, run.stderr

    def start_cli(self, *args):
        return subprocess.Popen([cli, *args, "--port", self.ports[-1], "--firmware-dir", "fw"], cwd=self.folder,
                                env=sim_harness.cli_env(self.ports), stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def sent(trace):
    return [line.split()[2] for line in open(trace) if len(line.split()) == 3 and line.split()[1] == ">"]


def single_line(folder):
    """A project downloaded once, then 20 chips; the second run finds the storage up to date."""
    write_settings(os.path.join(folder, "GUI.LOG"), 0x01)
    code, out, err = run_quiet(folder, "project", "save", "--part", "QMC04A", "--mode", "icp", "--aprom",
                               "code.bin", "line.TPJ")
    check("project saved", code == 0, out + err)
    project = bytearray(open(os.path.join(folder, "line.TPJ"), "rb").read())
    project[72], project[74:78], project[80:88], project[96] = 1, SN_ADDRESS.to_bytes(4, "little"), bcd(1), 1
    open(os.path.join(folder, "line.TPJ"), "wb").write(project)
    with Sim(folder, "--storage", "storage.bin", "--dump", "dump1") as s:
        code, out, err = s.cli("download", "--project", "line.TPJ")
        check("download", code == 0 and "Programmer is successfully downloaded !" in out, out + err)
        code, out, err = s.cli("update", "--project", "line.TPJ", "--loop", "20", "--json", "--trace", "update.trace",
                               stdin="\n" * 19)
        lines = [json.loads(line) for line in out.splitlines()]
        check("20 chips", code == 0 and len(lines) == 20 and all(l["result"] == "PASS" for l in lines), out + err)
        check("S/N per chip", [l["sn"] for l in lines] == [f"{FIRST_SN + i:016d}" for i in range(20)], out)
        check("counter per chip", [l["counter"] for l in lines] == list(range(1, 21)), out)
        check("no new download", "C2" not in sent(os.path.join(folder, "update.trace")), "the storage was downloaded again")
        # Ctrl-C: the chip in hand is finished and the loop ends with its summary.
        run = s.start_cli("update", "--project", "line.TPJ", "--loop", "0")
        run.stdin.write("\n" * 200)
        run.stdin.flush()
        time.sleep(0.5)
        run.send_signal(signal.SIGINT)
        out, err = run.communicate(timeout=30)
        check("Ctrl-C", run.returncode == 0 and "the chip in hand is finished first" in err
              and re.search(r"PASS \S+: \d+ chips passed, 0 failed\n$", out), out + err)
    chips = programmed_chips(os.path.join(folder, "dump1"))
    sns = [int(c["sn"]) for c in chips if passed(c)]
    check("chips programmed", sns == list(range(FIRST_SN, FIRST_SN + len(sns))) and len(sns) > 20, str(chips))
    check("settings tally", tally(os.path.join(folder, "GUI.LOG")) == (FIRST_SN + len(sns), len(sns)),
          str(tally(os.path.join(folder, "GUI.LOG"))))


def run_quiet(folder, *args):
    return sim_harness.run_cli(cli, folder, [], *args)


def gang_line(folder):
    """Two gang runs with a socket that fails every chip: the loop goes on, the exit code says 1."""
    settings = os.path.join(folder, "gang.LOG")
    write_settings(settings, 0x41)
    with Sim(folder, "--device", "gang", "--chip", "2:fail-aprom", "--dump", "dump2") as s:
        code, out, err = s.cli("download", "--gang", "--part", "QMC04A", "--aprom", "code.bin", "--settings", settings)
        check("gang download", code == 0 and "Gang Programmer is successfully downloaded !" in out, out + err)
        code, out, err = s.cli("update", "--gang", "--part", "QMC04A", "--aprom", "code.bin", "--settings", settings,
                               "--loop", "2", stdin="\n")
        check("gang loop", code == 1 and "Failed chips:  #2" in err and "6 chips passed, 2 failed" in err, out + err)
    chips = programmed_chips(os.path.join(folder, "dump2"))
    sns = [c["sn"] for c in chips if passed(c)]
    check("gang chips", len(chips) == 8 and len(sns) == 6 and len(set(sns)) == 6, str(chips))


def killed_runs(folder):
    """update --loop 0 killed at random points, then run to the end; a second copy meanwhile refused."""
    settings = os.path.join(folder, "kill.LOG")
    write_settings(settings, 0x01)
    said = ""
    # The Programmer gives up an exchange cut off by the kill after 0.3 s of silence.
    with Sim(folder, "--device-time", "2", "--stall-timeout", "300", "--dump", "dump3") as s:
        job = ("--part", "QMC04A", "--aprom", "code.bin", "--settings", settings)
        code, out, err = s.cli("download", *job)
        check("kill: download", code == 0, out + err)
        for attempt in range(6):
            run = s.start_cli("update", *job, "--loop", "0")
            if attempt == 0:
                time.sleep(0.3)
                code, out, err = run_quiet(folder, "update", *job)
                check("second copy", code == 1 and "This application program is running now !" in err, out + err)
            run.stdin.write("\n" * 50)
            run.stdin.flush()
            time.sleep(random.uniform(0.05, 0.8))
            run.kill()
            out, err = run.communicate()
            said += err
            time.sleep(0.4)
        code, out, err = s.cli("update", *job, "--loop", "3", stdin="\n\n")
        said += err
        check("kill: last run", code == 0, out + err)
    log = production_log(folder)
    chips = programmed_chips(os.path.join(folder, "dump3"))
    on_chips = [c["sn"].lstrip("0") for c in chips if passed(c) and c["sn"]]
    check("no S/N twice", len(on_chips) == len(set(on_chips)), str(on_chips))
    sn, counter = tally(settings)
    logged_pass = [l for l in log if l["result"] == "PASS"]
    check("counter steps", counter >= len(logged_pass), f"{counter} < {len(logged_pass)}")
    check("S/N beyond the chips", all(int(c) < sn for c in on_chips), f"{sn} {on_chips}")
    check("logged PASS on a chip", all(l["sn"].lstrip("0") in on_chips for l in logged_pass), str(logged_pass))
    open_starts = {}
    for line in log:
        if line["result"] == "STARTED":
            open_starts[line["socket"]] = line
        else:
            open_starts.pop(line["socket"], None)
    check("every start closed", not open_starts, str(open_starts))
    for line in log:
        if line["result"] == "SKIPPED" and line["sn"]:
            value = int(line["sn"])
            check("skip warned", f"S/N='{value // 10**8:08d},{value % 10**8:08d}'" in said, said)


def faults(folder):
    """Each fault of the device model gives its message; the next run works."""
    settings = os.path.join(folder, "fault.LOG")
    for fault, gang, verb, message in [("sum-error:1", False, "download", "Programmer's storage checksum error !"),
                                       ("wrong-sync:1", True, "download", "Sync #1 error !"),
                                       ("bad-report:1", True, "update", "Please click 'Download Programmer'")]:
        write_settings(settings, 0x41 if gang else 0x01)
        job = ["--part", "QMC04A", "--aprom", "code.bin", "--settings", settings] + (["--gang"] if gang else [])
        with Sim(folder, "--fault", fault, "--stall-timeout", "300", *(["--device", "gang"] if gang else [])) as s:
            if verb == "update":
                s.cli("download", *job)
            code, out, err = s.cli(verb, *job)
            check(f"{fault} said", code == 1 and message in err, out + err)
            time.sleep(0.4)  # a device left inside an exchange gives it up
            code, out, err = s.cli(verb, *job)
            check(f"{fault} recovered", code == 0, out + err)


with tempfile.TemporaryDirectory() as folder:
    subprocess.run([sim, "--write-firmware", os.path.join(folder, "fw"), "--firmware-size", "600"], check=True,
                   capture_output=True)
    open(os.path.join(folder, "code.bin"), "wb").write(bytes((i * 7 + 3) & 0x7F for i in range(256)))
    # Each scenario in a folder of its own: its settings file, Production.csv and the simulator's dump.
    for scenario in (single_line, gang_line, killed_runs, faults):
        os.mkdir(os.path.join(folder, scenario.__name__))
        for name in ("fw", "code.bin"):
            os.symlink(os.path.join(folder, name), os.path.join(folder, scenario.__name__, name))
        scenario(os.path.join(folder, scenario.__name__))

for failure in failures:
    print(failure)
print(f"{checks - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
