#!/usr/bin/env python3
"""The Windows setup program, run for real under Wine in a fresh prefix.

    installer_test.py --setup SETUP.exe --version X.Y.Z
                      --older-setup OLDER.exe --older-version X.Y.Z
                      --access-rule ACCESS_RULE.nsh --work DIR

One story, as an administrator lives it: an older release is installed, the
current setup upgrades it silently, Plimsby starts from its Start-menu
shortcut (and a setup run meanwhile refuses to pretend it replaced it), a
reinstall keeps the exported plot file and the folder, and the uninstaller
removes what setup put there and nothing else. Then setup runs once more over a
C:\Harvel that another user made beforehand (moved aside, its plot files
copied into a fresh folder), refuses a link or a hard link under a program's
name without touching what it leads to, and refuses a C:\Harvel that is a
link. Wine neither stores nor enforces access rules, so what shows that setup
applies its rule is Wine's trace of the security calls: the descriptor each
SDDL string makes, and the file or folder whose handle it is set on, in order.
Wine takes a file's owner from its Unix owner alone (setup's own user, or
ANONYMOUS LOGON for any other), so a folder another user made is one whose Unix
owner is another. Prints one line per check; exit status 0 when all hold.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import time

FOLDER = "drive_c/Harvel"
MENU = "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Harvel"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Harvel"
SETTINGS_KEY = "HKCU\\Software\\应用程序向导生成的本地应用程序\\Drovane\\config"
CAPTION = "Plimsby    Please Waiting..."
PROGRAMS = ("Plimsby.exe", "Drovane.exe")


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)
    print("ok:", what, flush=True)


def version_record(path):
    """(fixed file version as four numbers, the FileVersion text) of a PE file."""
    data = open(path, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None, None
    ms, ls = struct.unpack_from("<II", data, at + 8)
    fixed = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    key = "FileVersion\0".encode("utf-16-le")
    at = data.find(key)
    if at < 0:
        return fixed, None
    at += len(key)
    while data[at : at + 2] == b"\0\0":  # alignment padding
        at += 2
    end = at
    while data[end : end + 2] != b"\0\0":
        end += 2
    return fixed, data[at:end].decode("utf-16-le")


class WineSession:
    """A fresh Wine prefix on a private Xvfb display."""

    def __init__(self, work):
        self.prefix = os.path.join(work, "prefix")
        shutil.rmtree(self.prefix, ignore_errors=True)
        os.makedirs(self.prefix)
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=self.prefix,
            WINEARCH="win64",
            WINEDEBUG="-all",
            LC_ALL="C.UTF-8",
            # No Mono/Gecko prompts; no Linux menu entries for our shortcuts.
            WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
        )
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number

    def boot(self):
        self.wine(["wineboot", "-i"], timeout=600)
        self.wait_idle()

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def wine(self, args, timeout=300, output=subprocess.PIPE):
        # A program left running would hold an output pipe open: pass DEVNULL.
        return subprocess.run(["wine"] + args, env=self.env, timeout=timeout,
                              stdout=output, stderr=output, text=True, errors="replace")

    def wait_idle(self):
        """Until every Windows process of the prefix has ended."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=300)

    def setup(self, exe):
        return self.wine([exe, "/S"]).returncode

    def traced_setup(self, exe):
        """(exit status, [(path, SDDL)] in the order setup set them).

        Setup sets each rule through a handle: the path is the one the handle
        was opened with, followed from CreateFileW's trace on the same thread."""
        env = dict(self.env, WINEDEBUG="-all,trace+file,trace+ntdll,trace+security")
        result = subprocess.run(["wine", exe, "/S"], env=env, timeout=300, capture_output=True,
                                text=True, errors="replace")
        applied, sddl, opening, handles = [], None, {}, {}
        for line in result.stderr.splitlines():
            made = re.search(r'ConvertStringSecurityDescriptorToSecurityDescriptorW L"([^"]*)"', line)
            if made:
                sddl = made.group(1)
            opened = re.match(r'(\w+):trace:file:CreateFileW L"([^"]*)"', line)
            if opened:
                opening[opened.group(1)] = opened.group(2).replace("\\\\", "\\")
            returned = re.match(r'(\w+):trace:file:CreateFileW returning ([0-9A-Fa-f]+)', line)
            if returned:
                handles[int(returned.group(2), 16)] = opening.get(returned.group(1))
            # Owner and protected DACL (0x80000005).
            put = re.search(r'trace:ntdll:NtSetSecurityObject (0x[0-9a-f]+) 0x80000005 ', line)
            if put:
                applied.append((handles.get(int(put.group(1), 16)), sddl))
        return result.returncode, applied

    def registry_values(self, key):
        result = self.wine(["reg", "query", key])
        if result.returncode != 0:
            return None
        return dict(re.findall(r"^\s+(\S+)\s+REG_\w+\s+(.*?)\s*$", result.stdout, re.M))

    def wait_for_window(self, caption, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env,
                                  capture_output=True, text=True, errors="replace").stdout
            if f'"{caption}":' in tree:
                return True
            time.sleep(0.2)
        return False

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env)
        self.wait_idle()
        self.xvfb.terminate()
        self.xvfb.wait()


def check_installed(session, version):
    fixed_expected = tuple(int(n) for n in (version.split(".") + ["0"] * 4)[:4])
    for program in PROGRAMS:
        path = session.path(f"{FOLDER}/{program}")
        check(os.path.isfile(path), f"{program} in C:\\Harvel")
        check(version_record(path) == (fixed_expected, version),
              f"{program} carries version {version} (record {version_record(path)})")
        link = session.path(f"{MENU}/{program[:-4]}.lnk")
        target = f"C:\\Harvel\\{program}"
        data = open(link, "rb").read() if os.path.isfile(link) else b""
        check(target.encode() in data or target.encode("utf-16-le") in data,
              f"Start-menu shortcut {program[:-4]}.lnk leads to {target}")
    entry = session.registry_values(UNINSTALL_KEY) or {}
    check(entry.get("DisplayVersion") == version and entry.get("Publisher")
          and entry.get("DisplayIcon", "").startswith("C:\\Harvel\\")
          and int(entry.get("EstimatedSize", "0"), 0) > 0
          and entry.get("UninstallString") == '"C:\\Harvel\\Uninstall.exe"',
          f"uninstall entry: {entry}")


def access_rule(path):
    """{name: SDDL} from setup's access_rule.nsh, the rule's one home."""
    return dict(re.findall(r'^!define (\w+) "(.*)"$', open(path, encoding="utf-8").read(), re.M))


def moved_aside(session):
    """The folders setup moved C:\\Harvel aside to."""
    return sorted(name for name in os.listdir(session.path("drive_c")) if name.startswith("Harvel.moved-"))


def check_rule_applied(session, setup, rule, what):
    """Setup locks the folder with the programs' rule, protects each program,
    then opens the folder for plot files with the folder's own rule."""
    status, applied = session.traced_setup(setup)
    folder, program = rule["HARVEL_FOLDER_SDDL"], rule["HARVEL_PROGRAM_SDDL"]
    expected = ([("C:\\Harvel", program)]
                + [(f"C:\\Harvel\\{name}", program) for name in ("Plimsby.exe", "Drovane.exe", "Uninstall.exe")]
                + [("C:\\Harvel", folder)])
    check(status == 0 and applied == expected, f"{what}: setup applies the access rule ({applied})")


def run(args):
    session = WineSession(args.work)
    try:
        session.boot()
        rule = access_rule(args.access_rule)
        check_rule_applied(session, args.older_setup, rule, "a fresh install")
        check((session.registry_values(UNINSTALL_KEY) or {}).get("DisplayVersion") == args.older_version,
              f"release {args.older_version} installs silently into a fresh prefix")
        check(session.setup(args.setup) == 0, f"setup {args.version} upgrades it silently")
        check_installed(session, args.version)

        plimsby = session.path(f"{FOLDER}/Plimsby.exe")
        before = open(plimsby, "rb").read()
        session.wine(["start", "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Harvel\\Plimsby.lnk"],
                     timeout=60, output=subprocess.DEVNULL)
        check(session.wait_for_window(CAPTION, 60), f'Plimsby started from its shortcut shows "{CAPTION}"')
        check(session.setup(args.setup) != 0 and open(plimsby, "rb").read() == before,
              "setup run while Plimsby runs reports failure and leaves the program whole")
        subprocess.run(["wineserver", "-k"], env=session.env)
        session.wait_idle()

        plot = session.path(f"{FOLDER}/Quelmar.plt")
        plot_data = b"IN;PU0,0;PD400,0;PD400,400;PD0,0;PU0,0;\r\n"
        open(plot, "wb").write(plot_data)
        check(session.setup(args.setup) == 0, "a silent reinstall succeeds")
        check(open(plot, "rb").read() == plot_data and not moved_aside(session),
              "the reinstall keeps the folder of the earlier install and C:\\Harvel\\Quelmar.plt in it")
        check_installed(session, args.version)

        added = session.wine(["reg", "add", SETTINGS_KEY, "/v", "IsOffset", "/t", "REG_DWORD", "/d", "1", "/f"])
        check(added.returncode == 0, "Drovane's settings key is in place")
        session.wine(["C:\\Harvel\\Uninstall.exe", "/S"])
        # The uninstaller hands over to a copy of itself outside the folder
        # (so that it can delete itself): wait for every process to end.
        session.wait_idle()
        leftovers = [name for name in PROGRAMS + ("Uninstall.exe",)
                     if os.path.exists(session.path(f"{FOLDER}/{name}"))]
        check(not leftovers, f"the uninstaller removes the programs and itself (left: {leftovers})")
        check(not os.path.exists(session.path(MENU)), "the uninstaller removes the shortcuts and their folder")
        check(session.registry_values(UNINSTALL_KEY) is None, "the uninstall entry is gone")
        check(session.registry_values(SETTINGS_KEY) is not None, "Drovane's settings key stays")
        check(open(plot, "rb").read() == plot_data, "the plot file stays, and with it C:\\Harvel")

        # A folder another user made before setup, with a plot file, a plot
        # file that is a hard link to another file, and a subfolder.
        shutil.rmtree(session.path(FOLDER))
        os.makedirs(session.path(f"{FOLDER}/planted"))
        open(plot, "wb").write(plot_data)
        elsewhere = session.path("drive_c/elsewhere")
        os.makedirs(elsewhere)
        guarded = os.path.join(elsewhere, "guarded.dat")
        guarded_data = b"nobody else's\r\n"
        open(guarded, "wb").write(guarded_data)
        os.link(guarded, session.path(f"{FOLDER}/linked.plt"))
        other_user = 65534
        for path in (FOLDER, f"{FOLDER}/planted", f"{FOLDER}/Quelmar.plt"):
            os.chown(session.path(path), other_user, -1)
        check_rule_applied(session, args.setup, rule, "a C:\\Harvel another user made")
        check(moved_aside(session) == ["Harvel.moved-1"]
              and os.path.isdir(session.path("drive_c/Harvel.moved-1/planted")),
              "that folder is moved aside whole, to C:\\Harvel.moved-1")
        check(open(plot, "rb").read() == plot_data and os.stat(plot).st_uid != other_user,
              "its plot file is copied into the fresh C:\\Harvel as a new file")
        left = sorted(os.listdir(session.path(FOLDER)))
        check(left == ["Drovane.exe", "Plimsby.exe", "Quelmar.plt", "Uninstall.exe"],
              f"nothing else is copied: no subfolder, no hard link ({left})")

        # Names of the programs taken by a hard link and by a link to a folder:
        # setup fails and what they lead to stays as it was.
        drovane = session.path(f"{FOLDER}/Drovane.exe")
        os.remove(drovane)
        os.link(guarded, drovane)
        check(session.setup(args.setup) != 0 and open(guarded, "rb").read() == guarded_data,
              "setup refuses a hard link under a program's name and leaves its file alone")
        os.remove(drovane)
        os.symlink(elsewhere, drovane)
        check(session.setup(args.setup) != 0 and sorted(os.listdir(elsewhere)) == ["guarded.dat"],
              "setup refuses a link to a folder under a program's name and writes nothing there")
        os.remove(drovane)
        os.remove(guarded)

        # A C:\Harvel that is a link (Wine shows a Unix symbolic link as one):
        # setup would write the programs, and set their rules, where it leads.
        shutil.rmtree(session.path(FOLDER))
        os.symlink(elsewhere, session.path(FOLDER))
        check(session.setup(args.setup) != 0 and not os.listdir(elsewhere),
              "setup refuses a C:\\Harvel that links elsewhere and writes nothing there")
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--older-setup", required=True)
    parser.add_argument("--older-version", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--access-rule", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    try:
        run(args)
    except (Failure, subprocess.TimeoutExpired, FileNotFoundError) as failure:
        print("FAILED:", failure, file=sys.stderr)
        return 1
    print("installer test: all checks hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
