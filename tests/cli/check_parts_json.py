#!/usr/bin/env python3
"""Runs `quillet-cli parts --json` and `quillet-cli parts` and checks what a script relies on."""
import json
import subprocess
import sys

KEYS = ["PartCode", "PartName", "FamilyFlagA", "IsCortexM0", "BirchPart", "CedarPart", "DuneFjordPart",
        "FamilyFlagC", "FamilyFlagB", "EmberPart", "KestraPart", "HasDataFlash", "HasLdrom",
        "DataFlashByConfig", "ApromLastAddress", "DataFlashBase", "DataFlashSize", "LdromLastAddress",
        "DeviceCode", "PartParam1", "PartParam2", "PartParam3", "PartParam4", "PartParam5",
        "ConfigByteCount", "PartParam7", "PartParam8", "Config0DescGroup", "Config1DescGroup", "ClockTexts",
        "ProgrammerTypes", "Core", "Category"]
FLAGS = KEYS[2:14]


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def main(cli):
    rows = json.loads(subprocess.run([cli, "parts", "--json"], check=True, capture_output=True, text=True).stdout)
    if len(rows) != 1215:
        fail(f"{len(rows)} rows")
    for code, row in enumerate(rows):
        if list(row) != KEYS:
            fail(f"code {code}: keys {list(row)}")
        if row["PartCode"] != code:
            fail(f"row {code} has PartCode {row['PartCode']}")
        if not all(isinstance(row[key], bool) for key in FLAGS):
            fail(f"code {code}: a flag is not a boolean")
        numbers = [row[key] for key in KEYS[14:29]]
        if not all(isinstance(n, int) and not isinstance(n, bool) and n >= 0 for n in numbers):
            fail(f"code {code}: a number column is not a number")
        if len(row["ClockTexts"]) != 4 or not all(isinstance(t, str) for t in row["ClockTexts"]):
            fail(f"code {code}: ClockTexts")
    ember = rows[1000]
    if not (ember["EmberPart"] and ember["ApromLastAddress"] == 0x233FF and ember["PartName"]):
        fail("code 1000 is not the Ember part")
    if rows[110]["ClockTexts"][1] != "Internal OSC (11/22MHz)":
        fail("code 110 ClockTexts")

    table = subprocess.run([cli, "parts"], check=True, capture_output=True, text=True).stdout.splitlines()
    named = [row for row in rows if row["PartName"] not in ("", "-") and row["ProgrammerTypes"]]
    if len(table) != len(named) + 2 or table[-1] != f"{len(named)} parts":
        fail("the plain table does not list every named part once")
    for line, row in zip(table[1:], named):
        if line.split()[:2] != [str(row["PartCode"]), row["PartName"]]:
            fail(f"table line {line!r}")


if __name__ == "__main__":
    main(sys.argv[1])
