#!/usr/bin/env python3
"""quillet-cli hex2bin, project save/show and check: exact output bytes and layouts, the program's
messages on stderr with exit code 1 for bad input (and no output file), 2 for usage errors."""
import json
import os
import random
import re
import subprocess
import sys
import tempfile

cli = sys.argv[1]
data = sys.argv[2]


def run(*args):
    r = subprocess.run([cli, *args], capture_output=True)
    stamp = r"\d{4}-\d\d-\d\d_\d\d:\d\d:\d\d"
    return r.returncode, re.sub(stamp, "<stamp>", r.stdout.decode()), re.sub(stamp, "<stamp>", r.stderr.decode())


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)


names = {p["PartCode"]: p["PartName"] for p in json.loads(run("parts", "--json")[1])}
tessel, arden = names[136], names[200]  # ICP 8051 with 2 KB LDROM; Cortex-M0 32 KB

with tempfile.TemporaryDirectory() as d:
    p = lambda name: os.path.join(d, name)  # noqa: E731

    # hex2bin: the tool's own binary, byte for byte.
    code, _, err = run("hex2bin", os.path.join(data, "hex", "gap_m0.hex"), p("out.bin"))
    assert code == 0, err
    assert read(p("out.bin")) == read(os.path.join(data, "hex", "gap_m0.bin"))

    bad_hex = {
        "empty": (b"", "Not Intel HEX Format !"),
        "random": (bytes(random.Random(5).randrange(256) for _ in range(3000)), "Not Intel HEX Format !"),
        "no end record": (b":0100000011EE\n", "Not Intel HEX Format !"),
        "cut record": (b":0100000011EE\n:10001000010203", "Not Intel HEX Format !"),
        "beyond 256 KB": (b":020000040004F6\n:0100000011EE\n:00000001FF\n",
                          "Address 0x40000 of HEX file is out of range (> 0x3FFFF) !"),
    }
    for name, (content, message) in bad_hex.items():
        write(p("bad.hex"), content)
        code, out, err = run("hex2bin", p("bad.hex"), p("bad.bin"))
        assert code == 1, (name, code)
        assert err == f"FAIL <stamp>: Hex_to_Bin conversion failed !\n  {p('bad.hex')}: {message}\n", (name, err)
        assert out == "" and not os.path.exists(p("bad.bin")), name

    # project save, then show: 1,000 bytes of APROM and 2,048 of LDROM put LDROM at 1,336.
    aprom = bytes(random.Random(1).randrange(256) for _ in range(1000))
    ldrom = bytes(random.Random(2).randrange(256) for _ in range(2048))
    write(p("code.bin"), aprom)
    write(p("boot.bin"), ldrom)
    code, _, err = run("project", "save", "--part", tessel, "--mode", "icp", "--aprom", p("code.bin"),
                       "--ldrom", p("boot.bin"), "--config", "0xFE,0x3C,255,255,255,255,255,255", p("job.TPJ"))
    assert code == 0, err
    tpj = read(p("job.TPJ"))
    assert len(tpj) == 256 + 80 + 1000 + 80 + 2048
    assert tpj[:16] == b"Tarvona TPJ A1.0" and tpj[256 + 80:1336] == aprom and tpj[1336 + 80:] == ldrom
    code, out, err = run("project", "show", p("job.TPJ"), "--json")
    assert code == 0, err
    shown = json.loads(out)
    assert shown["PartName"] == tessel and shown["ProgrammerMode"] == 1
    assert shown["ItemFlags"] == 0x8B and shown["ConfigBytes"] == [0xFE, 0x3C] + [0xFF] * 6
    assert shown["SnIncrement"] == {"high": 0, "low": 1} and shown["FastProtocol"] is False
    assert shown["sections"] == [
        {"area": "APROM", "storedName": "code.bin", "offset": 256, "size": 1000, "checksum": sum(aprom)},
        {"area": "LDROM", "storedName": "boot.bin", "offset": 1336, "size": 2048, "checksum": sum(ldrom)},
    ], shown["sections"]
    code, out, _ = run("project", "show", p("job.TPJ"))
    assert code == 0 and "LDROM      offset 1336" in out, out

    # check: passes as saved; the program's own words for what fails.
    code, out, err = run("check", "-q", p("job.TPJ"))
    assert (code, out, err) == (0, "", ""), (code, out, err)
    write(p("boot.bin"), ldrom + b"\x00")
    run("project", "save", "--part", tessel, "--mode", "icp", "--aprom", p("code.bin"), "--ldrom", p("boot.bin"),
        "--config", "0xFE,0x3C,255,255,255,255,255,255", "--no-check", p("big.TPJ"))
    code, _, err = run("check", p("big.TPJ"))
    assert code == 1 and err == "FAIL <stamp>: Code size for LDROM is too large (> 2 KB) !\n", err

    run("project", "save", "--part", arden, "--mode", "icp", "--aprom", p("code.bin"), p("sn.TPJ"))
    sn = bytearray(read(p("sn.TPJ")))
    sn[72] = 0xFF
    sn[74:78] = (0x1002).to_bytes(4, "little")
    write(p("sn.TPJ"), sn)
    code, _, err = run("check", p("sn.TPJ"))
    assert code == 1 and err == "WARNING: Serial Number address must be a multiple of four (4) !\n", err
    sn[74:78] = (0x400).to_bytes(4, "little")  # after the 1,000-byte APROM image
    write(p("sn.TPJ"), sn)
    assert run("check", p("sn.TPJ"))[0] == 0

    oversized = bytearray(tpj)
    oversized[256 + 64:256 + 68] = (0x40001).to_bytes(4, "little")
    bad_tpj = {"empty": b"", "truncated": tpj[:-1], "header only": tpj[:200], "oversized section": bytes(oversized),
               "random": bytes(random.Random(9).randrange(256) for _ in range(5000))}
    for name, content in bad_tpj.items():
        write(p("bad.TPJ"), content)
        for verb in (["check"], ["project", "show"]):
            code, out, err = run(*verb, p("bad.TPJ"))
            assert code == 1 and err == "FAIL <stamp>: TPJ format error !\n" and out == "", (name, verb, code, err)

    # Usage errors.
    assert run("project", "save", "--part", "NO SUCH PART", "--mode", "isp", p("x.TPJ"))[0] == 2
    assert run("project", "save", "--part", tessel, "--mode", "jtag", p("x.TPJ"))[0] == 2
    assert run("project", "save", "--part", tessel, "--mode", "icp", "--config", "1,2,3", p("x.TPJ"))[0] == 2
    assert run("project", "save", "--part", names[0], "--mode", "isp", "--ldrom", p("boot.bin"), p("x.TPJ"))[0] == 2
    assert not os.path.exists(p("x.TPJ"))
print("images cli: ok")
