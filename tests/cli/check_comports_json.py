#!/usr/bin/env python3
"""Runs `quillet-cli comports` over pseudo-terminals: the JSON a script reads, the marked line, the
file left behind byte for byte, and a folder where the file cannot be created."""
import json
import os
import subprocess
import sys
import tempfile


def check(what, got, want):
    if got != want:
        sys.exit(f"{what}:\n  got  {got!r}\n  want {want!r}")


def main(cli):
    paths = [os.ttyname(slave) for _, slave in (os.openpty() for _ in range(3))]
    names = [p[len("/dev/"):] for p in paths]
    env = dict(os.environ, QUILLET_SCAN_SYSTEM_PORTS="0", QUILLET_EXTRA_PORTS=":".join(paths))

    def comports(folder, *args, before=None):
        file = os.path.join(folder, "GUI_ComPortISP.LOG")
        if before is not None:
            with open(file, "wb") as f:
                f.write(before)
        run = subprocess.run([cli, "comports", "--settings", os.path.join(folder, "GUI.LOG"), *args],
                             capture_output=True, text=True, env=env)
        return run, file

    # GUI_ComPortISP.LOG before (None: none) -> selected, remembered, the file after.
    for before, selected, remembered, after in [(None, names[0], None, paths[0].encode()),
                                                (paths[2].encode(), names[2], names[2], paths[2].encode()),
                                                (b"/dev/pts/99999", names[0], "pts/99999", b"/dev/pts/99999"),
                                                (b"x" * 300, names[0], None, b"x" * 300)]:
        with tempfile.TemporaryDirectory() as folder:
            run, file = comports(folder, "--json", before=before)
            with open(file, "rb") as f:
                check(f"file {before!r}", (run.returncode, run.stderr, list(json.loads(run.stdout).items()), f.read()),
                      (0, "", [("ports", names), ("selected", selected), ("remembered", remembered), ("file", file)],
                       after))

    with tempfile.TemporaryDirectory() as folder:
        run, _ = comports(folder, before=paths[1].encode())
        check("text", (run.returncode, run.stdout, run.stderr),
              (0, "".join(f"{'*' if n == 1 else ' '} {n + 1}\t{names[n]}\t{paths[n]}\n" for n in range(3)), ""))
        # The file cannot be created: said once, and the list is there all the same.
        run, file = comports(os.path.join(folder, "gone"), "--json")
        check("no folder", (run.returncode, json.loads(run.stdout)["selected"], run.stderr.split(": ", 1)[1]),
              (0, names[0], f"'GUI_ComPortISP.LOG' cannot be created !\n  {file}: No such file or directory\n"))


if __name__ == "__main__":
    main(sys.argv[1])
