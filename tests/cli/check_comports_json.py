#!/usr/bin/env python3
"""Runs `quillet-cli comports` over pseudo-terminals with each kind of GUI_ComPortISP.LOG and checks
the port it selects, what it says the file remembers, and the file it leaves behind, byte for byte."""
import json
import os
import subprocess
import sys
import tempfile

FILE = "GUI_ComPortISP.LOG"


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def run(cli, folder, env, *args):
    return subprocess.run([cli, "comports", "--settings", os.path.join(folder, "GUI.LOG"), *args],
                          capture_output=True, text=True, env=env)


def main(cli):
    ptys = [os.openpty() for _ in range(3)]
    paths = [os.ttyname(slave) for _, slave in ptys]
    names = [p[len("/dev/"):] for p in paths]
    absent = "/dev/pts/99999"
    env = dict(os.environ, QUILLET_SCAN_SYSTEM_PORTS="0", QUILLET_EXTRA_PORTS=":".join(paths + [absent]))
    # File content (None: no file) -> selected name, remembered name, file content afterwards.
    cases = [
        (None, names[0], None, paths[0].encode()),
        (paths[2].encode(), names[2], names[2], None),
        (paths[1].encode() + b"\n", names[1], names[1], None),
        (absent.encode(), names[0], absent[len("/dev/"):], None),
        (b"", names[0], None, None),
        (paths[2].encode() + b" " * 300, names[0], None, None),
        (b"\x00" * 16, names[0], None, None),
    ]
    for content, selected, remembered, after in cases:
        with tempfile.TemporaryDirectory() as folder:
            file = os.path.join(folder, FILE)
            if content is not None:
                with open(file, "wb") as f:
                    f.write(content)
                os.chmod(file, 0o444)
            result = run(cli, folder, env, "--json")
            if result.returncode != 0 or result.stderr:
                fail(f"{content!r}: exit {result.returncode}, {result.stderr!r}")
            got = json.loads(result.stdout)
            want = {"ports": names, "selected": selected, "remembered": remembered, "file": file}
            if list(got) != list(want) or got != want:
                fail(f"{content!r}: {got} instead of {want}")
            with open(file, "rb") as f:
                left = f.read()
            if left != (after if content is None else content):
                fail(f"{content!r}: the file holds {left!r}")

    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, FILE), "wb") as f:
            f.write(paths[1].encode())
        lines = run(cli, folder, env).stdout.splitlines()
        want = [f"{'*' if n == 1 else ' '} {n + 1}\t{names[n]}\t{paths[n]}" for n in range(3)]
        if lines != want:
            fail(f"text lines {lines} instead of {want}")
        # The file cannot be created: said once, and the list is there all the same.
        gone = os.path.join(folder, "gone")
        result = run(cli, gone, env, "--json")
        stamp_free = [line.split(": ", 1)[-1] for line in result.stderr.splitlines()]
        if result.returncode != 0 or json.loads(result.stdout)["selected"] != names[0] or \
                stamp_free[0] != "'GUI_ComPortISP.LOG' cannot be created !" or len(stamp_free) != 2:
            fail(f"unwritable folder: exit {result.returncode}, {result.stdout!r}, {result.stderr!r}")


if __name__ == "__main__":
    main(sys.argv[1])
