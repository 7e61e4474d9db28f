#!/usr/bin/env python3
"""Writes a program's man page from its --help with help2man; with --verbs, each verb's --help
becomes a section of its own, so the page says everything the help pages say.

gen_man_page.py HELP2MAN PROGRAM OUT.1 DESCRIPTION VERSION [VERB ...]"""
import os
import subprocess
import sys
import tempfile


def main():
    help2man, program, out, description, version, *verbs = sys.argv[1:]
    sections = []
    for verb in verbs:
        text = subprocess.run([program, *verb.split(), "--help"], capture_output=True, text=True, check=True).stdout
        body = text.replace("\\", "\\e").replace("\n.", "\n\\&.")
        sections.append(f".SS {verb}\n.nf\n{body}.fi\n")
    with tempfile.NamedTemporaryFile("w", suffix=".h2m", delete=False) as include:
        include.write("[VERBS]\n" + "".join(sections))
        include_path = include.name
    try:
        subprocess.run([help2man, "--no-info", "--no-discard-stderr", "--name", description,
                        "--version-string", f"{os.path.basename(program)} {version}", *(["--include", include_path] if sections else []),
                        "--output", out, program], check=True)
    finally:
        os.unlink(include_path)


if __name__ == "__main__":
    main()
