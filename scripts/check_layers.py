#!/usr/bin/env python3
"""Fails when an include runs against the layers of src/.

Layers, lowest first: core, dialogs, qt. A file includes only its own layer and those below; only
qt includes Qt. Inside a layer, folders are ranked and no include climbs to a higher rank. The CLI
stands on the core; the simulator is an independent device that uses only the core's sys/ and
serial/ and the catalogue's rows, so a mistake in the program's tables cannot be mirrored by it.

Usage: check_layers.py SRC_DIR [STAMP]   (writes STAMP when the check passes)
"""
import pathlib
import re
import sys

RANKS = {
    "core": ["sys", "report", "serial", "catalogue", "config", "job", "images", "storage", "programmer",
             "comisp", "operations"],
    "dialogs": ["kit", "advanced", "config", "viewer", "main"],
    "qt": ["kit", "advanced", "config", "viewer", "main"],
}
# What each top folder may include besides itself.
BELOW = {"core": [], "dialogs": ["core"], "qt": ["core", "dialogs"], "cli": ["core"], "sim": []}
SIM_ALLOWED = ("core/sys/", "core/serial/", "core/catalogue/part_row.h", "core/catalogue/part_table.h",
               "core/catalogue/part_catalogue.h")
QT_INCLUDE = re.compile(r'#\s*include\s*<Q[A-Za-z]*(/[^>]*)?>')
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')


def rank(layer, folder):
    order = RANKS.get(layer)
    return order.index(folder) if order and folder in order else None


def problems(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".inc"):
            continue
        rel = path.relative_to(src).as_posix()
        layer, folder = rel.split("/")[0], rel.split("/")[1] if rel.count("/") > 1 else ""
        text = path.read_text(errors="replace")
        if layer != "qt" and QT_INCLUDE.search(text):
            yield f"{rel}: includes Qt outside src/qt"
        for target in LOCAL_INCLUDE.findall(text):
            if "/" not in target:
                continue  # generated files next to the source (moc)
            to_layer, to_folder = target.split("/")[0], target.split("/")[1] if target.count("/") > 1 else ""
            if layer == "sim":
                if to_layer != "sim" and not target.startswith(SIM_ALLOWED):
                    yield f"{rel}: the simulator includes {target}"
                continue
            if to_layer == layer:
                mine, theirs = rank(layer, folder), rank(layer, to_folder)
                if mine is not None and theirs is not None and theirs > mine:
                    yield f"{rel}: includes {target}, above {layer}/{folder}"
            elif to_layer not in BELOW.get(layer, []):
                yield f"{rel}: includes {target}, outside what {layer} stands on"


def main():
    src = pathlib.Path(sys.argv[1])
    found = list(problems(src))
    for line in found:
        print(line, file=sys.stderr)
    if found:
        return 1
    if len(sys.argv) > 2:
        pathlib.Path(sys.argv[2]).touch()
    return 0


if __name__ == "__main__":
    sys.exit(main())
