#!/usr/bin/env python3
"""The include check passes on the tree and fails on each kind of wrong include planted in a copy."""
import pathlib
import shutil
import subprocess
import sys
import tempfile

CHECK, SRC = sys.argv[1], pathlib.Path(sys.argv[2])
PLANTS = [
    ("core/images/size_checks.cpp", '#include "core/operations/workbench.h"', "above core/images"),
    ("core/sys/clock.cpp", '#include "dialogs/kit/dialog_units.h"', "outside what core stands on"),
    ("dialogs/kit/hex_dump.cpp", "#include <QWidget>", "includes Qt outside src/qt"),
    ("cli/main.cpp", '#include "dialogs/main/main_controls.h"', "outside what cli stands on"),
    ("sim/fault_plan.cpp", '#include "core/programmer/programmer_link.h"', "the simulator includes"),
    ("sim/fault_plan.cpp", '#include "core/config/config_codec.h"', "the simulator includes"),
]


def run(src):
    return subprocess.run([sys.executable, CHECK, str(src)], capture_output=True, text=True)


failures = 0
clean = run(SRC)
if clean.returncode != 0:
    print("the tree itself fails:\n" + clean.stderr)
    failures += 1
for file, line, expected in PLANTS:
    with tempfile.TemporaryDirectory() as temp:
        copy = pathlib.Path(temp) / "src"
        shutil.copytree(SRC, copy)
        with open(copy / file, "a") as out:
            out.write("\n" + line + "\n")
        result = run(copy)
        if result.returncode == 0 or expected not in result.stderr:
            print(f"{file} + {line}: not refused ({result.stderr.strip()!r})")
            failures += 1
print(f"{len(PLANTS) + 1 - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
