"""What the end-to-end scripts share: quillet-sim started on pseudo-terminals, and quillet-cli run
with a port scan that sees only the simulator's terminals."""
import os
import subprocess
import sys


def start_sim(sim, folder, *args):
    """Starts the simulator; returns the process and its terminals, in the order it served them."""
    proc = subprocess.Popen([sim, *args], cwd=folder, stdout=subprocess.PIPE, text=True)
    ports = []
    for line in proc.stdout:
        if line.strip() == "ready":
            return proc, ports
        ports.append(line.split()[1])
    raise SystemExit("quillet-sim ended before it was ready")


def stop_sim(proc):
    proc.terminate()
    proc.wait(timeout=10)


def cli_env(ports):
    return dict(os.environ, QUILLET_SCAN_SYSTEM_PORTS="0", QUILLET_EXTRA_PORTS=":".join(ports))


def run_cli(cli, folder, ports, *args):
    run = subprocess.run([cli, *args], cwd=folder, env=cli_env(ports), capture_output=True, text=True, timeout=60)
    return run.returncode, run.stdout, run.stderr


class Checks:
    """Counts named checks and keeps the failed ones; `finish` prints them and exits 1 if any failed."""

    def __init__(self):
        self.count = 0
        self.failures = []

    def __call__(self, name, condition, detail=""):
        self.count += 1
        if not condition:
            self.failures.append(f"{name}: {detail}")

    def finish(self):
        for failure in self.failures:
            print(failure)
        print(f"{self.count - len(self.failures)} passed, {len(self.failures)} failed")
        sys.exit(1 if self.failures else 0)


def bcd(value):
    """The 8 packed-BCD bytes of a 16-digit S/N."""
    return bytes.fromhex(f"{value:016d}")


def settings_tally(path):
    """The S/N and the Chip Counter a settings file holds."""
    record = open(path, "rb").read()
    return int(record[24:32].hex()), int.from_bytes(record[34:38], "little")
