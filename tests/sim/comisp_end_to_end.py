#!/usr/bin/env python3
"""update of a boot-loader chip over its serial line, against quillet-sim's chip on a
pseudo-terminal: CONFIG, APROM and DataFlash at two rates, the dumps equal to the images; a loop of
three chips stepping the S/N; each fault of the line said and recovered from; the loop killed at
random points and run again: no S/N on two passed chips, no passed chip uncounted, each skip logged
and warned of."""
import csv
import json
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

import sim_harness

cli, sim = sys.argv[1], sys.argv[2]
random.seed(1208)
check = sim_harness.Checks()
PART, PART_CODE = "QLU15G", 46
SN_ADDRESS, FIRST_SN = 0x1F0, 500
CONFIG = ["0x7F", "0xFF", "0xFE", "0xFF", "0xFF", "0xFF", "0xFF", "0xFF"]
JOB = ["--mode", "comisp", "--part", PART, "--aprom", "code.bin", "--dataflash", "data.bin"]


def write_settings(folder, sn):
    """ISP by COM Port, the counter counting up from 0; with `sn`, S/N programming from FIRST_SN."""
    record = bytearray(256)
    record[0], record[1], record[8:10], record[32], record[40] = 0x02, PART_CODE, b"\xff\xff", 1, 1
    if sn:
        record[10], record[11:15], record[16:24], record[24:32] = 1, SN_ADDRESS.to_bytes(4, "little"), sim_harness.bcd(1), sim_harness.bcd(FIRST_SN)
    open(os.path.join(folder, "GUI.LOG"), "wb").write(bytes(record))


def tally(folder):
    return sim_harness.settings_tally(os.path.join(folder, "GUI.LOG"))


def dumped(folder, k, area):
    path = os.path.join(folder, "dump", f"chip{k}-{area}.bin")
    return open(path, "rb").read() if os.path.exists(path) else b""


def chip_sns(folder, code):
    """The S/N in each dumped chip whose APROM holds the whole image."""
    sns, k = [], 1
    while os.path.exists(os.path.join(folder, "dump", f"chip{k}-aprom.bin")):
        aprom = dumped(folder, k, "aprom")
        if aprom[:SN_ADDRESS] == code[:SN_ADDRESS] and aprom[SN_ADDRESS + 8:len(code)] == code[SN_ADDRESS + 8:]:
            sns.append(int(aprom[SN_ADDRESS:SN_ADDRESS + 8].hex()))
        k += 1
    return sns


class Chip:
    def __init__(self, folder, *args):
        self.folder = folder
        self.proc, self.ports = sim_harness.start_sim(sim, folder, "--device", "chip", "--part", PART, "--dump", "dump",
                                                      "--reset-after", "100", *args)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        sim_harness.stop_sim(self.proc)

    def start_cli(self, *args):
        return subprocess.Popen([cli, "update", *JOB, "--port", self.ports[0], *args], cwd=self.folder,
                                env=sim_harness.cli_env(self.ports), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True)

    def cli(self, *args):
        run = self.start_cli(*args)
        out, err = run.communicate(timeout=60)
        return run.returncode, out, err


def rates(folder, code, data):
    for baud_code in ("0x73", "14"):
        write_settings(folder, False)
        with Chip(folder, "--baud-code", baud_code, "--chips", "1", "--strict") as chip:
            status, out, err = chip.cli("--config", ",".join(CONFIG))
        check(f"{baud_code} update", status == 0 and "PASS" in out and "Chip is successfully updated !" in out, out + err)
        check(f"{baud_code} aprom", dumped(folder, 1, "aprom")[:len(code)] == code)
        check(f"{baud_code} dataflash", dumped(folder, 1, "dataflash")[:len(data)] == data)
        check(f"{baud_code} config", dumped(folder, 1, "config") == bytes(int(b, 0) for b in CONFIG))
        check(f"{baud_code} port kept", open(os.path.join(folder, "GUI_ComPortISP.LOG")).read() == chip.ports[0])


def loop(folder, code, _):
    write_settings(folder, True)
    with Chip(folder) as chip:
        status, out, err = chip.cli("--loop", "3", "--json")
    lines = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    check("loop", status == 0 and [(l["result"], l["sn"], l["counter"]) for l in lines] ==
          [("PASS", f"{FIRST_SN + i:016d}", i + 1) for i in range(3)], out + err)
    check("loop chips", chip_sns(folder, code)[:3] == [FIRST_SN, FIRST_SN + 1, FIRST_SN + 2], str(chip_sns(folder, code)))
    check("loop tally", tally(folder) == (FIRST_SN + 3, 3))


# Each fault of the line: what the update says; the next update on the same chip line passes.
FAULTS = [
    ("wrong-ack:1", "Update CONFIG error !"),
    ("drop-to-host:10", "Update APROM error !"),
    ("corrupt-to-host:12", "Update APROM error !"),
    ("wrong-ack:20", "Update DataFlash error !"),
]


def faults(folder, code, data):
    for fault, message in FAULTS:
        write_settings(folder, False)
        with Chip(folder, "--fault", fault) as chip:
            status, out, err = chip.cli("--config", ",".join(CONFIG))
            check(f"{fault} said", status == 1 and message in err, out + err)
            status, out, err = chip.cli("--config", ",".join(CONFIG))
            check(f"{fault} recovered", status == 0, out + err)


def killed(folder, code, _):
    write_settings(folder, True)
    said = ""
    with Chip(folder, "--program-ms", "2") as chip:
        for _ in range(6):
            run = chip.start_cli("--loop", "0")
            time.sleep(random.uniform(0.1, 1.5))
            run.kill()
            said += run.communicate()[1]
            time.sleep(0.2)
        status, out, err = chip.cli("--loop", "2")
        said += err
        check("run after kills", status == 0, out + err)
        run = chip.start_cli("--loop", "0")
        time.sleep(1.0)
        run.send_signal(signal.SIGTERM)
        out, err = run.communicate(timeout=30)
        check("SIGTERM", run.returncode == 0 and "the chip in hand is finished first" in err, out + err)
    log = list(csv.DictReader(open(os.path.join(folder, "Production.csv"))))
    on_chips = chip_sns(folder, code)
    sn, counter = tally(folder)
    logged_pass = [int(l["sn"]) for l in log if l["result"] == "PASS"]
    check("no S/N twice", len(on_chips) == len(set(on_chips)), str(on_chips))
    check("S/N past the chips", max(on_chips) < sn, f"{sn} {on_chips}")
    check("counter steps", counter >= len(logged_pass), f"{counter} < {len(logged_pass)}")
    check("logged PASS on a chip", set(logged_pass) <= set(on_chips), str(logged_pass))
    for line in log:
        if line["result"] == "SKIPPED" and line["sn"]:
            value = int(line["sn"])
            check("skip warned", f"S/N='{value // 10**8:08d},{value % 10**8:08d}'" in said, said)


with tempfile.TemporaryDirectory() as top:
    code = bytes((i * 13 + 5) & 0xFF for i in range(0x300))
    data = bytes((i * 3 + 1) & 0xFF for i in range(0x180))
    for scenario in (rates, loop, faults, killed):
        folder = os.path.join(top, scenario.__name__)
        os.mkdir(folder)
        open(os.path.join(folder, "code.bin"), "wb").write(code)
        open(os.path.join(folder, "data.bin"), "wb").write(data)
        scenario(folder, code, data)

check.finish()
