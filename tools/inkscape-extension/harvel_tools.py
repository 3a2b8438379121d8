"""Runs the Harvel tools (cutsend, cutconv, cutter-sim) for the Inkscape extension.

The tools' own messages are passed on unchanged: they already say what went wrong
and what to do (a port that is missing, busy or not the user's, with the group to
join), and Inkscape shows whatever the extension writes on stderr.
"""
import ctypes
import shutil
import signal
import subprocess
import sys


class ToolFailed(Exception):
    """A tool ended without its result; its messages have been shown already."""

    def __init__(self, status):
        super().__init__(status)
        self.status = status


def find_tool(name):
    path = shutil.which(name)
    if path is None:
        raise FileNotFoundError(
            f"{name} was not found: install the harvel-tools package (it brings cutsend, "
            "cutconv and cutter-sim)")
    return path


def length_mm(mm):
    """A length for cutsend and cutconv, both of which take millimetres as the dialog holds them."""
    return f"{mm:g}"



def run_quietly(args):
    """Runs a tool that must succeed; returns its stdout, shows its stderr if it fails."""
    done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          check=False)
    if done.returncode != 0:
        sys.stderr.write(done.stderr or done.stdout)
        raise ToolFailed(done.returncode if done.returncode > 0 else 1)
    return done.stdout


def serial_ports(cutsend):
    """What `cutsend --list` says: each port with its description, or that there is none."""
    return run_quietly([cutsend, "--list"])


def _die_with_parent():
    # If Inkscape ends the extension hard, the sender must stop too, not cut on unseen.
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def send(args):
    """Runs cutsend, passing each line it writes on at once, and returns its exit status.

    Cancelling the extension (SIGTERM, SIGINT, SIGHUP) is handed to cutsend, which stops
    after the chunk in flight and says where; its report is passed on before the end."""
    with subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          preexec_fn=_die_with_parent) as process:

        def hand_on(signum, _frame):
            process.send_signal(signum)

        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, hand_on)
        for line in iter(process.stdout.readline, b""):
            try:
                sys.stderr.write(line.decode("utf-8", "replace"))
                sys.stderr.flush()
            except OSError:  # nobody reads the messages any more: the job was abandoned
                process.terminate()
        return process.wait()
