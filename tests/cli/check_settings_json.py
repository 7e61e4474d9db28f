#!/usr/bin/env python3
"""quillet-cli settings show: a hand-built GUI.LOG decodes to exactly these keys and values, a missing
file gives the first-run settings, and a usage error exits 2."""
import json
import os
import subprocess
import sys
import tempfile

cli = sys.argv[1]


def show(path, *extra):
    run = subprocess.run([cli, "settings", "show", path, *extra], capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


record = bytearray(256)
record[0] = 0x41                                  # ICP on a Gang Programmer
record[1:3] = (136).to_bytes(2, "little")         # a Tessel part
record[8:10] = b"\x00\x00"                        # usage 0,0 reads back as 0xFF,0xFF
record[10] = 0xFF                                 # S/N programming on
record[11:15] = (0x1FFF8).to_bytes(4, "little")
record[16:24] = bytes.fromhex("0000000000000025")  # increment 25
record[24:32] = bytes.fromhex("1234567890123456")  # S/N 1234567890123456
record[32] = 0xFF
record[33] = 0x00
record[34:38] = (1234).to_bytes(4, "little")
record[40] = 0x00                                 # inverted: Fast Protocol
record += b"/dev/ttyUSB3"

with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, "GUI.LOG")
    with open(path, "wb") as f:
        f.write(record)
    code, out, err = show(path, "--json")
    assert code == 0, err
    got = json.loads(out)
    assert got.pop("found") is True
    part_name = got.pop("PartName")
    assert part_name and part_name != "-", part_name
    expected = {
        "ProgrammerMode": 0x41, "PartCode": 136, "ProgrammerPortName": "/dev/ttyUSB3",
        "UsageLimit": {"high": 255, "low": 255}, "SnProgrammingEnabled": True, "SnAddress": 0x1FFF8,
        "SnIncrement": {"high": 0, "low": 25}, "SnValue": {"high": 12345678, "low": 90123456},
        "ChipCounterEnabled": True, "CountDown": False, "ChipCounter": 1234, "FastProtocol": True,
    }
    assert got == expected, got

    code, out, _ = show(os.path.join(folder, "missing.LOG"), "--json")
    first_run = json.loads(out)
    assert code == 0 and first_run["found"] is False
    assert (first_run["ProgrammerMode"], first_run["PartCode"], first_run["ProgrammerPortName"]) == (0, 2, "/dev/ttyS0")
    assert first_run["SnIncrement"] == {"high": 0, "low": 1}

    code, out, _ = show(path)
    assert code == 0 and "ICP, Gang" in out and "12345678,90123456" in out and "001,234" in out, out

    run = subprocess.run([cli, "settings", "show"], capture_output=True, text=True)
    assert run.returncode == 2, run.returncode
print("settings show: ok")
