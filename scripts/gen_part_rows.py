#!/usr/bin/env python3
"""Writes src/core/catalogue/part_rows.inc, the named and placeholder rows of the part catalogue.

Each family is described below by its sub-series (the placeholder rows "-" separate them in the part
list). Only the per-part columns are written here; the columns that follow from code ranges (family
flags, HasDataFlash, HasLdrom, ConfigByteCount, PartParam8, the Cortex-M0 PartParam4, ClockTexts)
come from the range tables in part_table.cpp.

Usage: gen_part_rows.py            rewrite the file
       gen_part_rows.py --check    exit 1 when the file differs from what this script writes
"""
import pathlib
import sys

KB = 1024
OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "src" / "core" / "catalogue" / "part_rows.inc"

# Package suffixes of the Cortex-M0 names, in the order the series use them.
PACKAGES = ["LB", "LC", "LD", "LE", "RB", "RC", "RD", "RE", "SB", "SC", "SD", "SE",
            "TB", "TC", "TD", "TE", "VB", "VC", "VD", "VE", "ZB", "ZC", "ZD", "ZE"]

# Column order of PartRow; a row writes only its non-zero per-part columns.
COLUMNS = ["PartName", "DataFlashByConfig", "ApromLastAddress", "DataFlashBase", "DataFlashSize",
           "LdromLastAddress", "DeviceCode", "PartParam1", "PartParam2", "PartParam3", "PartParam4",
           "PartParam5", "PartParam7", "Config0DescGroup", "Config1DescGroup"]
HEX_COLUMNS = {"ApromLastAddress", "DataFlashBase", "DataFlashSize", "LdromLastAddress", "DeviceCode",
               "PartParam1", "PartParam2", "PartParam5", "PartParam7"}

rows = {}


def add(code, name, aprom, dataflash=None, by_config=False, ldrom=0, **params):
    """aprom and ldrom in bytes; dataflash = (base, size) or None."""
    assert code not in rows, code
    row = {"PartName": name, "ApromLastAddress": aprom - 1,
           "LdromLastAddress": ldrom - 1 if ldrom else 0, "DataFlashByConfig": by_config}
    if dataflash:
        row["DataFlashBase"], row["DataFlashSize"] = dataflash
    row.update(params)
    rows[code] = row


def placeholders(*codes):
    for code in codes:
        rows[code] = {"PartName": "-"}


def series(first, last, prefix, sizes_kb):
    """Codes first..last named prefix + size + package, the sizes taking turns."""
    for i, code in enumerate(range(first, last + 1)):
        kb = sizes_kb[i % len(sizes_kb)]
        yield code, kb, f"{prefix}{kb:03d}{PACKAGES[i // len(sizes_kb)]}"


# ---- 8051 parts of the ISP list (codes 0..47) -------------------------------------------------
def isp_param1(kb):
    return {4: 0x00, 8: 0x10, 15: 0x20, 16: 0x20, 32: 0x40}.get(kb, 0x80)


def isp(code, name, kb, **extra):
    add(code, name, kb * KB, DeviceCode=0x40 + code, PartParam1=isp_param1(kb), **extra)


isp_small = [(4, "D"), (4, "P"), (4, "S"), (4, "T"), (8, "D"), (8, "P"), (8, "S"), (8, "T"), (8, "W"),
             (16, "D"), (16, "P"), (16, "S"), (16, "T"), (16, "W"), (32, "D"), (32, "P"), (32, "S"), (32, "W")]
for code, (kb, pkg) in enumerate(isp_small):
    isp(code, f"QLA{kb:02d}{pkg}", kb)
placeholders(18, 19, 20, 21)
isp_large = [(64, "D"), (64, "P"), (64, "S"), (64, "T"), (64, "W"), (64, "X"),
             (128, "D"), (128, "P"), (128, "S"), (128, "T"), (128, "W")]
for code, (kb, pkg) in zip(range(22, 33), isp_large):
    isp(code, f"QLB{kb:03d}{pkg}", kb)
placeholders(33)
isp(34, "QLE032S", 32)
placeholders(35)
# Sorrel (FamilyFlagA): no DataFlash, a fixed DataFlash, and DataFlash carved out of 64 KB.
isp(36, "QLS32N", 32)
isp(37, "QLS32F", 32, dataflash=(0x8000, 4 * KB), PartParam2=0xF0)
isp(38, "QLS64C", 64, dataflash=(0xFF00, 0xFF00), by_config=True, PartParam2=0xF0)
isp(39, "QLS64D", 64, dataflash=(0xFF00, 0xFF00), by_config=True, PartParam2=0xF0)
# FamilyFlagA and FamilyFlagB, listed for ISP by COM Port only: DataFlash inside 16 KB, or fixed.
for code, letter in zip(range(40, 46), "ABCDEF"):
    isp(code, f"QLU16{letter}", 16, dataflash=(0x3F00, 0x3F00), by_config=True, PartParam2=0x30)
for code, letter in zip(range(46, 48), "GH"):
    isp(code, f"QLU15{letter}", 15, dataflash=(0x3C00, 1 * KB), PartParam2=0x30)

# ---- 8051 parts for ICP (codes 110..199) -------------------------------------------------------
# (code, name, APROM KB, CONFIG0 group, CONFIG1 group, PartParam7); DataFlash follows APROM.
icp_8051 = [
    (110, "QMC04A", 4, 2, 3, 0xFD), (111, "QMC08A", 8, 2, 3, 0xFD), (112, "QMC16A", 16, 2, 3, 0xFD),
    (113, "QMC16B", 16, 2, 3, 0xFD), (114, "QMD08A", 8, 3, 4, 0xFD), (115, "QMD16A", 16, 3, 4, 0xFD),
    (117, "QML02A", 2, 1, 1, 0xFB), (118, "QML04A", 4, 1, 1, 0xFB), (119, "QMF08A", 8, 5, 6, 0xFD),
    (120, "QMF16A", 16, 5, 6, 0xFD), (121, "QMH08A", 8, 6, 7, 0xFD), (122, "QMH16A", 16, 6, 7, 0xFD),
    (127, "QMK02A", 2, 4, 5, 0xFB), (128, "QMK04A", 4, 4, 5, 0xFB), (129, "QMK08A", 8, 4, 2, 0xFB),
    (130, "QMK16A", 16, 4, 2, 0xFB),
]
ICP_DATAFLASH = {2: 256, 4: 256, 8: 512, 16: 1 * KB}
for code, name, kb, group0, group1, param7 in icp_8051:
    add(code, name, kb * KB, dataflash=(kb * KB, ICP_DATAFLASH[kb]), PartParam4=1,
        PartParam5=0x5100 + code - 110, PartParam7=param7, Config0DescGroup=group0, Config1DescGroup=group1)
placeholders(116, 123, 124, 125, 126, 131, 132, 133, 134, 135)
# Tessel (FamilyFlagB, 136..144): 2 KB LDROM; DataFlash inside 16 KB, fixed, or none (144).
for code in range(136, 145):
    tessel = dict(ldrom=2 * KB, PartParam3=2, PartParam4=2, PartParam5=0x5300 + code - 136)
    if code <= 141:
        add(code, f"QTS16{'ABCDEF'[code - 136]}", 16 * KB, dataflash=(0x3F00, 0x3F00), by_config=True, **tessel)
    elif code <= 143:
        add(code, f"QTS15{'GH'[code - 142]}", 15 * KB, dataflash=(0x3C00, 1 * KB), **tessel)
    else:
        add(code, "QTS16N", 16 * KB, **tessel)


# ---- Cortex-M0 families -----------------------------------------------------------------------
def cortex(first, last, prefix, sizes_kb, param5_base, ldrom_kb=4, fixed_dataflash=True, by_config=()):
    """Parts of a series; sizes listed in by_config carve DataFlash out of APROM in 512-byte pages,
    the others have the fixed 4 KB DataFlash at 0x1F000 (when fixed_dataflash)."""
    for code, kb, name in series(first, last, prefix, sizes_kb):
        aprom = 0x1EC00 if kb == 123 else kb * KB
        if kb in by_config:
            top = aprom - 512  # one page below the top: default start and most DataFlash
            add(code, name, aprom, dataflash=(top, top), by_config=True, ldrom=ldrom_kb * KB,
                PartParam5=param5_base + code - first)
        else:
            assert fixed_dataflash, name
            add(code, name, aprom, dataflash=(0x1F000, 4 * KB), ldrom=ldrom_kb * KB,
                PartParam5=param5_base + code - first)


# Arden (200..349): fixed 4 KB DataFlash, except series L (128 KB, DataFlash set in CONFIG1).
arden = [(200, 231, "B", [32, 64, 128]), (233, 241, "C", [32, 64]), (243, 249, "D", [64, 128]),
         (251, 254, "E", [32]), (256, 259, "F", [64]), (261, 292, "G", [32, 64, 128]),
         (294, 300, "H", [32, 64]), (302, 307, "J", [64, 128]), (309, 328, "K", [32, 64, 128])]
for first, last, letter, sizes in arden:
    cortex(first, last, f"QVA{letter}", sizes, 0xA000 + first - 200)
cortex(330, 349, "QVAL", [128], 0xA000 + 130, by_config=(128,))
placeholders(232, 242, 250, 255, 260, 293, 301, 308, 329)
# Birch (800..819): all fixed 4 KB DataFlash; series H (809..816) has the 4.3 V / 3.7 V brown-out.
for first, last, letter, sizes in [(800, 807, "B", [8, 16, 32, 64]), (809, 816, "H", [16, 32, 64]),
                                   (818, 819, "K", [64])]:
    cortex(first, last, f"QVB{letter}", sizes, 0xB000 + first - 800)
placeholders(808, 817)
# Cedar (850..861): 2 KB LDROM, DataFlash set in CONFIG1.
cortex(850, 861, "QVC", [4, 8, 16], 0xC000, ldrom_kb=2, fixed_dataflash=False, by_config=(4, 8, 16))
# Dune (900..969): 32/64 KB set DataFlash in CONFIG1; 123 KB parts have the fixed 4 KB at 0x1F000.
for first, last, letter, sizes in [(900, 919, "B", [32, 64]), (921, 933, "C", [123]),
                                   (935, 957, "D", [32, 64]), (959, 969, "E", [32, 64, 123])]:
    cortex(first, last, f"QVD{letter}", sizes, 0xD000 + first - 900, by_config=(32, 64))
placeholders(920, 934, 958)
# Ember (1000): 141 KB; DataFlash in 1 KB pages up to the 0x24400 top left with LDROM disabled.
add(1000, "QEL141A", 0x23400, dataflash=(0x24000, 0x24000), by_config=True, ldrom=4 * KB, PartParam3=1,
    PartParam5=0xE000)
# Fjord (1100..1103).
cortex(1100, 1103, "QFJ", [64], 0xF000, fixed_dataflash=False, by_config=(64,))
# Kept in the tables, shown in no list (1200..1214).
cortex(1200, 1206, "QVXA", [32, 64, 128], 0x9000)
placeholders(1207)
cortex(1208, 1214, "QVXB", [128], 0x9008, by_config=(128,))


def render_value(column, value):
    if column == "PartName":
        return f'"{value}"'
    if column == "DataFlashByConfig":
        return "true"
    return f"0x{value:X}" if column in HEX_COLUMNS else str(value)


def render():
    lines = ["// clang-format off",
             "// Generated by scripts/gen_part_rows.py: the named and placeholder rows of the part catalogue.",
             "// Edit the script and run it again; do not edit this file by hand."]
    for code in sorted(rows):
        row = rows[code]
        fields = [f".{c} = {render_value(c, row[c])}" for c in COLUMNS if row.get(c)]
        lines.append(f"{{{code}, {{{', '.join(fields)}}}}},")
    return "\n".join(lines) + "\n"


def main():
    text = render()
    if sys.argv[1:] == ["--check"]:
        if OUTPUT.read_text() != text:
            print(f"{OUTPUT} is out of date: run scripts/gen_part_rows.py", file=sys.stderr)
            return 1
        return 0
    OUTPUT.write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
