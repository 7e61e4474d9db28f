#!/usr/bin/env python3
"""quillet-cli config: bytes set by name go through project save --config --slider into a project file
that project show and config show read back the same; and the exit codes of bad input, with nothing
on stdout when a command fails.

check_config_cli.py CLI"""
import json
import os
import subprocess
import sys
import tempfile

cli = sys.argv[1]


def run(*args):
    done = subprocess.run([cli, *args], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


# A Tessel part (Config8051Dlg): DataFlash on at one page, then 4 pages, brown-out on at 3.8V.
code, out, err = run("config", "set", "--part", "qts16a", "DataFlash=Enable", "Pages=4",
                     "brownout detection=ENABLE", "Voltage=3.8V")
assert (code, out, err) == (0, "0xFE,0x3C,0x3F,0xFF,0xFF,0xFF,0xFF,0xFF\nConfigSliderPos=4\n", ""), (code, out, err)
config = out.splitlines()[0]

with tempfile.TemporaryDirectory() as folder:
    project = os.path.join(folder, "job.TPJ")
    code, _, err = run("project", "save", "--part", "QTS16A", "--mode", "icp", "--config", config, "--slider", "4",
                       "-q", project)
    assert code == 0, err
    code, out, err = run("project", "show", "--json", project)
    assert code == 0, err
    saved = json.loads(out)
    assert saved["ConfigBytes"] == [0xFE, 0x3C, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF], saved["ConfigBytes"]
    assert saved["ConfigSliderPos"] == 4, saved["ConfigSliderPos"]

back = ",".join(str(b) for b in saved["ConfigBytes"])
code, out, err = run("config", "show", "--code", "136", "--config", back, "--slider", "4", "--json")
assert code == 0, err
shown = json.loads(out)
fields = {f["Field"]: (f["Choice"], f["Enabled"], f["Visible"]) for f in shown["Fields"]}
expected = {
    "PartName": "QTS16A", "PartCode": 136, "Editor": "Config8051Dlg", "Resource": 164, "Title": "CONFIG Setting",
    "ConfigBytes": saved["ConfigBytes"], "ConfigSliderPos": 4,
    "DataFlash": {"Enabled": True, "Pages": 4, "Size": "1.00 KB", "Start": "0x3C00"},
    "ClockSource": None, "BrownoutVoltage": None, "ApromCapacity": 0x3C00, "DataFlashCapacity": 0x400,
}
assert {k: shown[k] for k in expected} == expected, shown
assert fields["DataFlash"] == ("Enable", True, True) and fields["Voltage"] == ("3.8V", True, True), fields
assert fields["Port State"] == ("High after reset", False, False), fields

# The bit-by-bit editor: fields by bit, the derived texts; view mode shows only.
code, out, err = run("config", "show", "--part", "QMC04A", "--config", "0x40,0xDF,0,0,0,0,0,0", "--view", "--json")
assert code == 0, err
shown = json.loads(out)
bit = {f["Field"]: f for f in shown["Fields"]}
assert (shown["Editor"], shown["ClockSource"], shown["BrownoutVoltage"]) == (
    "ConfigBitsDlg", "External XTAL (4MHz~24MHz)", "2.7V"), shown
assert bit["CONFIG1.6"] == {"Field": "CONFIG1.6", "Name": "NVM Lock", "Choice": "Disable", "Enabled": True,
                            "Visible": True, "Choices": ["Enable", "Disable"]}, bit["CONFIG1.6"]
assert bit["CONFIG0.4"]["Name"] == "Reserved(0)" and not bit["CONFIG0.4"]["Enabled"], bit["CONFIG0.4"]
code, out, _ = run("config", "set", "--part", "QMC04A", "CONFIG1.7=Enable", "config1.6=enable", "CONFIG0.0=0")
assert (code, out) == (0, "0xEC,0x3F,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF\nConfigSliderPos=0\n"), (code, out)
code, out, _ = run("config", "set", "--part", "QMC04A", "CONFIG1.7=Enable", "CONFIG1.6=Enable", "CONFIG1.7=Disable")
assert (code, out) == (0, "0xED,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF\nConfigSliderPos=0\n"), (code, out)

# Exit codes: 2 for what cannot be meant, 1 for a choice the dialog refuses at that moment.
for args, want in [
    (["show", "--part", "QTS16Z"], 2),
    (["show", "--code", "1215"], 2),
    (["show"], 2),
    (["show", "--code", "132", "--config", "1,2,3"], 2),
    (["show", "--code", "132", "--config", "1,2,3,4,5,6,7,256"], 2),
    (["set", "--part", "QTS16A", "Colour=Red"], 2),
    (["set", "--part", "QTS16A", "Voltage=5V"], 2),
    (["set", "--part", "QTS16A", "DataFlash=Enable", "Pages=64"], 2),
    (["set", "--part", "QTS16A", "--view", "Voltage=3.8V"], 2),
    (["set", "--part", "QTS16A", "Voltage=3.8V"], 1),
    (["set", "--part", "QTS16A", "Clock Source=Clock from XTAL1"], 1),
    (["set", "--part", "QTS16A", "Pages=4"], 1),
    (["set", "--part", "QLS64C", "Boot Select=Boot from APROM"], 1),
    (["set", "--code", "330", "DataFlash=Enable", "Pages=256"], 2),
]:
    code, out, err = run("config", *args)
    assert (code, out) == (want, ""), (args, code, out, err)
    assert err.startswith("quillet-cli: "), (args, err)

code, out, err = run("config", "set", "--part", "QTS16A", "Voltage=3.8V")
assert err == ("quillet-cli: Voltage=3.8V: \"3.8V\" is disabled now\n"
               "  another choice disables it; quillet-cli config show lists what is enabled\n"), err
code, out, _ = run("config", "set", "--code", "132", "Clock Source=Clock from XTAL1")
assert (code, out) == (0, "0xFD,0xFE,0xFF,0xFF,0xFF,0xFF,0xFF,0xFF\nConfigSliderPos=0\n"), (code, out)

code, out, _ = run("config", "set", "--help")
assert code == 0 and "Example:" in out and "Pages=N" in out, out
