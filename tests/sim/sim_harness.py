"""What the end-to-end scripts share: quillet-sim started on pseudo-terminals, and quillet-cli run
with a port scan that sees only the simulator's terminals."""
import os
import subprocess


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
