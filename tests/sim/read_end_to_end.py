#!/usr/bin/env python3
"""verify, read, info and trim against quillet-sim on pseudo-terminals: a Cortex-M0 chip given as a
flat flash, an LDROM and CONFIG bytes is downloaded to, reported, verified (equal, then one byte
changed) and read area by area as BIN and as HEX (through objcopy) equal to what the chip holds; an
ISP chip compared block by block; the TRIM bytes; gang socket 3 and the gang's information; and each
fault said, after which the next command works."""
import json
import os
import subprocess
import sys
import tempfile
import time

import sim_harness

cli, sim = sys.argv[1], sys.argv[2]
check = sim_harness.Checks()

CORTEX = ("--part", "QVAB032LB")  # APROM 0..0x7FFF, DataFlash 4 KB at 0x1F000, LDROM 4 KB
FLASH = bytes((i * 13 + 5) & 0xFF for i in range(0x20000))
LDROM = bytes((i * 3 + 0x41) & 0xFF for i in range(0x1000))
CONFIG = bytes([0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0xF0, 0x01, 0xFF])  # CONFIG0 first; not locked
AREAS = {"aprom": FLASH[:0x8000], "dataflash": FLASH[0x1F000:], "ldrom": LDROM, "config": CONFIG}
CHANGED = 0x123  # the chip byte that differs from code.bin in the failing verify
ISP_FLASH = bytes((i * 5 + 9) & 0xFF for i in range(0x1000))


def chip(socket, flash="flash.bin", part="QVAB032LB"):
    return ["--chip-part", f"{socket}:{part}", "--chip-flash", f"{socket}:{flash}", "--chip-ldrom",
            f"{socket}:ldrom.bin", "--chip-config", f"{socket}:" + ",".join(hex(b) for b in CONFIG)]


class Sim:
    def __init__(self, folder, *args, stall="300"):
        self.folder = folder
        self.proc, self.ports = sim_harness.start_sim(sim, folder, "--stall-timeout", stall, *args)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        sim_harness.stop_sim(self.proc)

    def cli(self, *args):
        return sim_harness.run_cli(cli, self.folder, self.ports, *args, "--port", self.ports[-1], "--firmware-dir",
                                   "fw")


def read_back(s, area, path, *job):
    """What `read` wrote to `path` (HEX through objcopy), or None; and the run."""
    if os.path.exists(os.path.join(s.folder, path)):
        os.remove(os.path.join(s.folder, path))
    run = s.cli("read", *job, "--area", area, "-o", path)
    full = os.path.join(s.folder, path)
    if not os.path.exists(full):
        return None, run
    if path.endswith(".hex"):
        subprocess.run(["objcopy", "-I", "ihex", "-O", "binary", full, full + ".bin"], check=True)
        full += ".bin"
    return open(full, "rb").read(), run


def single_icp(folder):
    with Sim(folder, "--type", "0xAD", *chip(0)) as s:
        code, out, err = s.cli("download", *CORTEX, "--aprom", "code.bin")
        check("download", code == 0 and "Programmer is successfully downloaded !" in out, out + err)
        code, out, err = s.cli("info", *CORTEX)
        check("info", code == 0 and "<<<  Programmer Type:  ICP Programmer (for Velmari)  >>>\n\n*** Part No.:  "
              "QVAB032LB\n\n" in out and "       Code Size:\t4660 Bytes (EndAddr= 0x1233)\n\n" in out, out + err)
        code, out, err = s.cli("info", *CORTEX, "--json")
        check("info json", code == 0 and "QVAB032LB" in json.dumps(json.loads(out or "null")), out + err)
        code, out, err = s.cli("verify", *CORTEX, "--aprom", "code.bin")
        check("verify equal", code == 0 and "Verify APROM ==> PASS !" in out, out + err)
        for area, expected in AREAS.items():
            for ext in ("bin", "hex"):
                got, (code, out, err) = read_back(s, area, f"read_{area}.{ext}", *CORTEX)
                check(f"read {area} {ext}", code == 0 and got == expected,
                      f"{len(got or b'')} bytes; {out}{err}")
    with Sim(folder, "--type", "0xAD", *chip(0, "changed.bin")) as s:
        code, out, err = s.cli("verify", *CORTEX, "--aprom", "code.bin")
        check("verify changed", code == 1 and "Verify APROM ==> FAIL !" in err and
              f"0x{CHANGED:05X} (expected 0x{FLASH[CHANGED]:02X}, read 0x{FLASH[CHANGED] ^ 0xFF:02X})" in err,
              out + err)
        code, out, err = s.cli("verify", *CORTEX, "--aprom", "code.bin", "--json")
        found = json.loads(out or "null") if code == 1 else None
        check("verify json", found is not None and f'"offset": {CHANGED}' in json.dumps(found), out + err)


def isp(folder):
    job = ("--part", "QLA04D")
    with Sim(folder, "--type", "0xAA", *chip(0, "isp.bin", "QLA04D")) as s:
        code, out, err = s.cli("verify", *job, "--aprom", "isp_code.bin")
        check("isp verify equal", code == 0 and "Verify APROM ==> PASS !" in out, out + err)
        code, out, err = s.cli("verify", *job, "--aprom", "isp_changed.bin")
        check("isp verify changed", code == 1 and "APROM differs in 0x00100..0x001FF" in err, out + err)
        got, (code, out, err) = read_back(s, "config", "isp_config.bin", *job)
        check("isp read config", code == 0 and got == CONFIG, out + err)
        got, (code, out, err) = read_back(s, "aprom", "isp_aprom.bin", *job)
        check("isp read aprom refused", code == 2 and got is None, out + err)


def trim(folder):
    with Sim(folder, "--type", "0xA4", "--chip-trim", "0:1,2,0xAB,0,0xFF") as s:
        code, out, err = s.cli("trim", "--part", "QTS16A")
        check("trim", code == 0 and "TRIM0~4=0x01 0x02 0xAB 0x00 0xFF" in out, out + err)
        code, out, err = s.cli("trim", *CORTEX)
        check("trim not Tessel", code == 1 and "Not Tessel parts !" in err, out + err)


def gang(folder):
    with Sim(folder, "--device", "gang", "--type", "0xAD", *chip(3)) as s:
        got, (code, out, err) = read_back(s, "ldrom", "gang_ldrom.bin", *CORTEX, "--gang", "--socket", "3")
        check("gang read socket 3", code == 0 and got == LDROM, out + err)
        code, out, err = s.cli("verify", *CORTEX, "--gang", "--socket", "3", "--aprom", "code.bin")
        check("gang verify socket 3", code == 0 and "Verify APROM ==> PASS !" in out, out + err)
        code, out, err = s.cli("info", *CORTEX, "--gang")
        check("gang info before a download", "Gang Programmer has not been downloaded yet !" in out + err, out + err)
        code, out, err = s.cli("download", *CORTEX, "--gang", "--aprom", "code.bin")
        check("gang download", code == 0, out + err)
        code, out, err = s.cli("info", *CORTEX, "--gang")
        check("gang info", code == 0 and "<<<  Programmer Type:  ICP Gang Programmer (for Velmari)  >>>" in out, out + err)
    # A socket whose firmware does not suit the part is switched through the routing, restart and all.
    # The transfer header's 500 ms pause needs the default stall time.
    with Sim(folder, "--device", "gang", "--chip-trim", "2:1,2,0xAB,0,0xFF", stall="2000") as s:
        code, out, err = s.cli("trim", "--part", "QTS16A", "--gang", "--socket", "2")
        check("gang trim after a firmware switch", code == 0 and "TRIM0~4=0x01 0x02 0xAB 0x00 0xFF" in out, out + err)


def faults(folder):
    """Each fault gives its message and writes nothing; then the next command works."""
    for args, verb, message in [(["--chip", "0:locked"], "read", "Chip was locked !"),
                                (["--chip", "0:missing"], "read", "Device ID error !"),
                                (["--chip", "0:status=2"], "verify", "Device ID error !"),
                                (["--fault", "drop-to-host:200"], "read", "Receive data error !"),
                                (["--device", "gang", "--fault", "wrong-sync:1"], "read", "Sync #3 error !")]:
        gang_run = "--device" in args
        job = [*CORTEX] + (["--gang", "--socket", "3"] if gang_run else [])
        with Sim(folder, "--type", "0xAD", *chip(3 if gang_run else 0), *args) as s:
            if verb == "read":
                got, (code, out, err) = read_back(s, "aprom", "fault.bin", *job)
            else:
                got, (code, out, err) = None, s.cli(verb, *job, "--aprom", "code.bin")
            check(f"{args[-1]} said", code == 1 and message in err and got is None, out + err)
            time.sleep(0.4)  # the Programmer gives up the exchange the fault cut off
            if "--fault" in args:
                got, (code, out, err) = read_back(s, "aprom", "fault.bin", *job)
                check(f"{args[-1]} next read", code == 0 and got == AREAS["aprom"], out + err)
            else:
                code, out, err = s.cli("download", *job, "--aprom", "code.bin")
                check(f"{args[-1]} next download", code == 0, out + err)


with tempfile.TemporaryDirectory() as top:
    subprocess.run([sim, "--write-firmware", os.path.join(top, "fw"), "--firmware-size", "600"], check=True,
                   capture_output=True)
    changed = bytearray(FLASH)
    changed[CHANGED] ^= 0xFF
    isp_changed = bytearray(ISP_FLASH[:0x300])
    isp_changed[0x150] ^= 0xFF
    files = {"flash.bin": FLASH, "changed.bin": bytes(changed), "ldrom.bin": LDROM, "code.bin": FLASH[:0x1234],
             "isp.bin": ISP_FLASH, "isp_code.bin": ISP_FLASH[:300], "isp_changed.bin": bytes(isp_changed)}
    for name, data in files.items():
        open(os.path.join(top, name), "wb").write(data)
    for scenario in (single_icp, isp, trim, gang, faults):
        folder = os.path.join(top, scenario.__name__)
        os.mkdir(folder)
        for name in ["fw", *files]:
            os.symlink(os.path.join(top, name), os.path.join(folder, name))
        scenario(folder)

check.finish()
