#!/usr/bin/env python3
"""One verb of quillet-cli as a user meets it with bad input: a missing file, a folder where a file
should be (unreadable even for root), a corrupt file, a wrong option; and what it says when it
succeeds. Exact stdout, stderr (time stamps as <stamp>) and exit code.

verb_messages.py CLI DATA VERB"""
import os
import re
import subprocess
import sys
import tempfile

cli, data, verb = sys.argv[1:4]
HEX = os.path.join(data, "hex")
DAMAGED = os.path.join(HEX, "damaged")
NO_PORTS = {"QUILLET_SCAN_SYSTEM_PORTS": "0", "QUILLET_EXTRA_PORTS": ""}


def usage(what, verb_path):
    return f"quillet-cli: {what}\n  quillet-cli {verb_path} --help shows the options\n"


def fail(message, detail=None):
    return f"FAIL <stamp>: {message}\n" + (f"  {detail}\n" if detail else "")


def damaged(kind, message, detail):
    return ([f"{DAMAGED}/{kind}.hex", "{d}/o.bin", "--strict"], 1, "", fail(message, f"{DAMAGED}/{kind}.hex {detail}"))


# Each case: arguments ({d} is a scratch folder holding folder/, corrupt.hex, corrupt.TPJ, job.TPJ),
# exit code, stdout, stderr.
CASES = {
    "hex2bin": [
        (["{d}/missing.hex", "{d}/o.bin"], 1, "", fail("Open file error !", "{d}/missing.hex: No such file or directory")),
        (["{d}/folder", "{d}/o.bin"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["{d}/corrupt.hex", "{d}/o.bin"], 1, "",
         fail("Hex_to_Bin conversion failed !", "{d}/corrupt.hex: Not Intel HEX Format !")),
        ([f"{HEX}/gap_m0.hex", "{d}/folder"], 1, "", fail("'{d}/folder' cannot be created !", "{d}/folder: Is a directory")),
        (["--strct", f"{HEX}/gap_m0.hex", "{d}/o.bin"], 2, "", usage("The following argument was not expected: --strct", "hex2bin")),
        damaged("checksum", "2 HEX records are damaged, the first at line 3 !", "line 3: the checksum is 0x69, the record needs 0x68"),
        damaged("byte_count", "1 HEX record is damaged, at line 3 !", "line 3: the byte count says 17, the line holds 16 bytes"),
        damaged("odd_digits", "1 HEX record is damaged, at line 4 !", "line 4: the record has 41 digits, an odd number"),
        damaged("no_digit", "1 HEX record is damaged, at line 2 !", "line 2: 'G' is no hexadecimal digit"),
        damaged("record_type", "1 HEX record is damaged, at line 3 !", "line 3: record type 10 is unknown"),
        ([f"{DAMAGED}/checksum.hex", "{d}/o.bin"], 0, "PASS <stamp>: {d}/o.bin: 48 bytes written, data from 0x00000 to 0x0002F\n",
         f"WARNING: 2 HEX records are damaged, the first at line 3 !\n  {DAMAGED}/checksum.hex line 3: the checksum is 0x69, the record needs 0x68\n"),
        ([f"{HEX}/from_0100.hex", "{d}/o.bin"], 0,
         "PASS <stamp>: {d}/o.bin: 272 bytes written, data from 0x00100 to 0x0010F; the image starts at 0, so the 256 bytes below 0x00100 are 0x00\n", ""),
        (["-q", f"{HEX}/from_0100.hex", "{d}/o.bin"], 0, "", ""),
    ],
    "check": [
        (["{d}/missing.TPJ"], 1, "", fail("Open file error !", "{d}/missing.TPJ: No such file or directory")),
        (["{d}/folder"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["{d}/corrupt.TPJ"], 1, "", fail("TPJ format error !")),
        (["{d}/unknown.TPJ"], 1, "", "WARNING: TPJ's part is not found !\n  {d}/unknown.TPJ names QMC04B for ICP; nearest names: QMC04A QMC08A QMC16B\n"),
        (["{d}/big.TPJ"], 1, "", fail("Code size for APROM is too large (> 4 KB) !")),
        (["--jsn", "{d}/job.TPJ"], 2, "", usage("The following argument was not expected: --jsn", "check")),
        (["{d}/job.TPJ"], 0, "PASS <stamp>: QMC04A in ICP: APROM 272 of 4096 bytes\n", ""),
    ],
    "project show": [
        (["{d}/missing.TPJ"], 1, "", fail("Open file error !", "{d}/missing.TPJ: No such file or directory")),
        (["{d}/folder"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["{d}/corrupt.TPJ"], 1, "", fail("TPJ format error !")),
        (["{d}/job.TPJ", "--xml"], 2, "", usage("The following argument was not expected: --xml", "project show")),
    ],
    "project save": [
        (["--part", "QMC04A", "--mode", "icp", "--aprom", "{d}/missing.hex", "{d}/x.TPJ"], 1, "",
         fail("Open APROM file error !", "{d}/missing.hex: No such file or directory")),
        (["--part", "QMC04A", "--mode", "icp", "--aprom", "{d}/folder", "{d}/x.TPJ"], 1, "",
         fail("Open APROM file error !", "{d}/folder: Is a directory")),
        (["--part", "QMC04A", "--mode", "icp", "--aprom", "{d}/corrupt.hex", "{d}/x.TPJ"], 1, "",
         fail("Hex_to_Bin conversion failed !", "{d}/corrupt.hex: Not Intel HEX Format !")),
        (["--part", "QMC04A", "--mode", "icp", "--aprom", f"{DAMAGED}/record_type.hex", "{d}/x.TPJ"], 1, "",
         fail("1 HEX record is damaged, at line 3 !",
              f"{DAMAGED}/record_type.hex line 3: record type 10 is unknown (--accept-damaged-hex saves it all the same)")),
        (["--part", "QMC04A", "--mode", "icp", "--aprom", "{d}/big.bin", "{d}/x.TPJ"], 1, "",
         fail("Code size for APROM is too large (> 4 KB) !", "--no-check saves the project all the same")),
        (["--part", "QMC04A", "--mode", "isp", "{d}/x.TPJ"], 2, "",
         "quillet-cli: --part: no part QMC04A in the ISP list\n  QMC04A is an ICP part: use --mode icp\n"),
        (["--part", "-", "--mode", "isp", "{d}/x.TPJ"], 2, "",
         "quillet-cli: --part: \"-\" is no part\n  \"-\" separates series in the part list; quillet-cli parts lists the parts\n"),
        (["--part", "QMC04A", "--mode", "jtag", "{d}/x.TPJ"], 2, "",
         usage("--mode: jtag not in {isp,icp,comisp}", "project save")),
        (["--part", "qmc04a", "--mode", "icp", "--aprom", f"{HEX}/from_0100.hex", "--dataflash", f"{HEX}/from_0100.hex",
          "{d}/x.TPJ"], 0, "PASS <stamp>: {d}/x.TPJ: QMC04A in ICP, APROM from_0100.hex (272 bytes), DataFlash from_0100.hex (56 bytes)\n",
         f"WARNING: The DataFlash file is an Intel HEX text !\n  {HEX}/from_0100.hex: DataFlash files are stored byte for byte, "
         "as the window loads them; quillet-cli hex2bin converts it first\n"),
    ],
    "settings show": [
        (["{d}/folder"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["{d}/corrupt.hex", "--json", "-x"], 2, "", usage("The following argument was not expected: -x", "settings show")),
    ],
    "parts": [
        (["qmc0*", "--mode", "icp"], 0,
         "Code  Name         Programmer types      Core       Category       APROM     LDROM   DataFlash\n"
         "110   QMC04A       ICP                   8051       8051 Family    4 KB      -       0.25 KB at 0x01000\n"
         "111   QMC08A       ICP                   8051       8051 Family    8 KB      -       0.5 KB at 0x02000\n"
         "2 of 324 parts\n", ""),
        (["QLU16A", "--mode", "isp"], 1, "", "quillet-cli: no part matches 'QLU16A' in ISP\n  QLU16A is an ISP by COM Port part: use --mode comisp\n"),
        (["qmc04b"], 1, "", "quillet-cli: no part matches 'qmc04b'\n  nearest names: QMC04A QMC08A QMC16B\n"),
        (["--family", "Velmari"], 2, "", "quillet-cli: --family: no family is called 'Velmari'\n  families: 8051, Cortex-M0, \"8051 Family\", "
         "\"Velmari_Arden\", \"Velmari_Birch\", \"Velmari_Cedar\", \"Velmari_Dune\", \"Ember Family\", \"Fjord Family\"\n"),
    ],
    "ports": [
        ([], 1, "", "quillet-cli: no serial port to scan\n  connect the Programmer, or list pseudo-terminals in QUILLET_EXTRA_PORTS (colon-separated)\n"),
    ],
    "comports": [
        ([], 1, "", "quillet-cli: no serial port can be opened\n  connect the chip's serial adapter, or list pseudo-terminals in "
         "QUILLET_EXTRA_PORTS (colon-separated)\n"),
    ],
    "search": [
        (["--port", "{d}/missing"], 1, "", fail("Programmer is not found !", "{d}/missing: No such file or directory")),
        (["--settings", "{d}/folder"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["--part", "QMC04B"], 2, "", "quillet-cli: --part: no part QMC04B\n  nearest names: QMC04A QMC08A QMC16B\n"),
        (["--gnag"], 2, "", usage("The following argument was not expected: --gnag", "search")),
    ],
    "info": [
        (["--port", "{d}/missing"], 1, "", fail("Programmer is not found !", "{d}/missing: No such file or directory")),
    ],
    "trim": [
        # Only Tessel parts have TRIM bytes: no Programmer is looked for.
        (["--part", "QMC04A", "--settings", "{d}/GUI.LOG"], 1, "", fail("Not Tessel parts !")),
        (["--part", "QTS16A", "--socket", "3"], 2, "", usage("--socket requires --gang", "trim")),
        (["--gang", "--socket", "5"], 2, "", usage("--socket: Value 5 not in range 1 to 4", "trim")),
    ],
    "fwupdate": [
        (["--port", "{d}/missing", "--part", "QMC04A"], 1, "", fail("Programmer is not found !", "{d}/missing: No such file or directory")),
        (["--settings", "{d}/folder"], 1, "", fail("Open file error !", "{d}/folder: Is a directory")),
        (["--part", "-"], 2, "", "quillet-cli: --part: \"-\" is no part\n  \"-\" separates series in the part list; quillet-cli parts lists the parts\n"),
    ],
    "download": [
        (["--settings", "{d}/GUI.LOG"], 2, "", "quillet-cli: nothing to program: name the job\n"
         "  --project F.TPJ, or --aprom, --dataflash and --ldrom with the image files\n"),
        (["--project", "{d}/job.TPJ", "--aprom", "{d}/big.bin"], 2, "", usage("--project excludes --aprom", "download")),
        (["--verify-only", "--aprom", "{d}/big.bin"], 2, "", usage("--verify-only requires --gang", "download")),
        (["--project", "{d}/missing.TPJ", "--settings", "{d}/GUI.LOG"], 1, "",
         fail("Open file error !", "{d}/missing.TPJ: No such file or directory")),
        (["--part", "QMC04A", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 1, "",
         fail("Code size for APROM is too large (> 4 KB) !",
              "quillet-cli parts shows the part's sizes; choose a larger part or a smaller image")),

        (["--part", "QLU16A", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 2, "",
         "quillet-cli: the job is for ISP by COM Port, which needs no Programmer\n  download and update work "
         "through a Programmer: name the part with --part, and --mode isp or icp\n"),
    ],
    "update": [
        (["--mode", "icp", "--aprom", "{d}/big.bin"], 2, "",
         "quillet-cli: --mode: the settings file's part QLA04S is not in the ICP list\n"
         "  name a part of that list with --part (quillet-cli parts)\n"),
        (["--part", "QMC04A", "--mode", "isp", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 2, "",
         "quillet-cli: --part: no part QMC04A in the ISP list\n  QMC04A is an ICP part: use --mode icp\n"),
        (["--part", "QMC04A", "--config", "1,2,3", "--aprom", "{d}/big.bin"], 2, "", usage(
            "--config: At least 8 required but received 3", "update")),
        (["--part", "QLU16A", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 1, "",
         fail("ComPort cannot be opened !", "no serial port can be opened: connect the chip's serial adapter, name it "
              "with --port, or list pseudo-terminals in QUILLET_EXTRA_PORTS (colon-separated)")),
        (["--mode", "comisp", "--part", "QLU15G", "--aprom", "{d}/big.bin", "--port", "{d}/missing"], 1, "",
         fail("ComPort cannot be opened !", "{d}/missing: No such file or directory")),
        (["--mode", "comisp", "--part", "QLU15G", "--dataflash", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 2, "",
         "quillet-cli: no APROM: an update by COM port programs an APROM image\n  name the APROM image with --aprom\n"),
        (["--mode", "comisp", "--part", "QLU15G", "--aprom", "{d}/big.bin", "--ldrom", "{d}/big.bin", "--settings",
          "{d}/GUI.LOG"], 2, "",
         "quillet-cli: --ldrom: ISP by COM Port does not write LDROM\n  leave --ldrom out, or use --mode icp\n"),
        (["--mode", "comisp", "--part", "QLB128D", "--aprom", "{d}/big.bin", "--config", "1,2,3,4,5,6,7,8",
          "--settings", "{d}/GUI.LOG"], 2, "",
         "quillet-cli: --config: QLB128D takes no CONFIG bytes through its boot loader\n  leave --config out\n"),
        (["--mode", "comisp", "--part", "QMC04A", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 2, "",
         "quillet-cli: --part: no part QMC04A in the ISP by COM Port list\n  QMC04A is an ICP part: use --mode icp\n"),
    ],
}


CASES["verify"] = [
    (["--part", "QLU16A", "--aprom", "{d}/big.bin", "--settings", "{d}/GUI.LOG"], 2, "",
     "quillet-cli: verify: QLU16A is set for ISP by COM Port, and verify works through a Programmer\n"
     "  name the part with --part, and --mode isp or icp\n"),
    (["--part", "QLB064D", "--config", "1,2,3,4,5,6,7,8", "--settings", "{d}/GUI.LOG"], 2, "",
     "quillet-cli: verify in ISP compares the APROM image only\n  name it with --aprom, or use --mode icp\n"),
    (["--part", "QMC04A", "--aprom", "{d}/big.bin", "--socket", "2"], 2, "", usage("--socket requires --gang", "verify")),
    (["--port", "{d}/missing", "--part", "QMC04A", "--config", "1,2,3,4,5,6,7,8"], 1, "",
     fail("Programmer is not found !", "{d}/missing: No such file or directory")),
]
CASES["read"] = [
    (["--part", "QMC04A", "-o", "{d}/x.bin"], 2, "", usage("--area is required", "read")),
    (["--part", "QLB064D", "--area", "aprom", "-o", "{d}/x.bin", "--settings", "{d}/GUI.LOG"], 2, "",
     "quillet-cli: --area aprom: in ISP the Programmer reads the chip's CONFIG only\n"
     "  use --area config, or --mode icp with a part of the ICP list\n"),
    (["--part", "QMC04A", "--area", "ldrom", "-o", "{d}/x.bin", "--settings", "{d}/GUI.LOG"], 2, "",
     "quillet-cli: --area ldrom: QMC04A has no LDROM\n  quillet-cli parts QMC04A shows its areas\n"),
    (["--part", "QLU16A", "--area", "config", "-o", "{d}/x.bin", "--settings", "{d}/GUI.LOG"], 2, "",
     "quillet-cli: read: QLU16A is set for ISP by COM Port, and read works through a Programmer\n"
     "  name the part with --part, and --mode isp or icp\n"),
    (["--port", "{d}/missing", "--part", "QMC04A", "--area", "aprom", "-o", "{d}/x.bin"], 1, "",
     fail("Programmer is not found !", "{d}/missing: No such file or directory")),
]


def prepare(d):
    os.mkdir(os.path.join(d, "folder"))
    with open(os.path.join(d, "corrupt.hex"), "wb") as f:
        f.write(b"\xef\xbb\xbf:00000001FF\n")  # a byte-order mark first
    with open(os.path.join(d, "corrupt.TPJ"), "wb") as f:
        f.write(b"Tarvona TPJ A1.0" + bytes(100))  # shorter than its header
    with open(os.path.join(d, "big.bin"), "wb") as f:
        f.write(bytes(4097))
    for name, aprom, extra in [("job.TPJ", f"{HEX}/from_0100.hex", ["--no-check"]), ("big.TPJ", f"{d}/big.bin", ["--no-check"])]:
        subprocess.run([cli, "project", "save", "--part", "QMC04A", "--mode", "icp", "--aprom", aprom, *extra,
                        os.path.join(d, name)], check=True, capture_output=True)
    with open(os.path.join(d, "job.TPJ"), "rb") as f:
        tpj = bytearray(f.read())
    tpj[16:32] = b"QMC04B".ljust(16, b"\0")
    with open(os.path.join(d, "unknown.TPJ"), "wb") as f:
        f.write(tpj)


failures = 0
with tempfile.TemporaryDirectory() as d:
    prepare(d)
    for args, code, out, err in CASES[verb]:
        args = [a.replace("{d}", d) for a in args]
        run = subprocess.run([cli, *verb.split(), *args], capture_output=True, text=True, env=dict(os.environ, **NO_PORTS))
        got = (run.returncode, re.sub(r"\d{4}-\d\d-\d\d_\d\d:\d\d:\d\d", "<stamp>", run.stdout),
               re.sub(r"\d{4}-\d\d-\d\d_\d\d:\d\d:\d\d", "<stamp>", run.stderr))
        want = (code, out.replace("{d}", d), err.replace("{d}", d))
        if got != want:
            failures += 1
            print(f"{verb} {' '.join(args)}:\n  got  {got!r}\n  want {want!r}")
print(f"{verb}: {len(CASES[verb]) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
