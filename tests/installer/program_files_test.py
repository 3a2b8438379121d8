#!/usr/bin/env python3
"""What the shipped programs carry, read from the built files themselves.

    program_files_test.py --plimsby Plimsby.exe --drovane Drovane.exe

Each program's application manifest (resource 1 of type RT_MANIFEST) runs it
asInvoker and names the systems it supports; Drovane's asks for version 6 of
the common controls, Plimsby's does not (it keeps the classic look). Every
static import is a library that Windows always takes from System32 (a known
DLL), so none can be planted beside the program; the stack guard's check
(-fstack-protector-strong, MinGW's libssp linked in statically) is in each.
Exit status 0 when all hold.
"""
import argparse
import struct
import sys
import xml.etree.ElementTree as ET

RT_MANIFEST = 24
WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
WINDOWS_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
# Libraries that Windows maps from its own known-DLL list, never from the
# program's folder.
KNOWN_DLLS = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
              "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll"}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"


class PeFile:
    """The few parts of a PE image this test reads: imports and resources."""

    def __init__(self, path):
        self.data = open(path, "rb").read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", self.data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.directory = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", self.data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} outside every section")

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        rva = self.directory[1][0]
        names = []
        while rva:
            name_rva = struct.unpack_from("<12xI", self.data, self.offset(rva))[0]
            if name_rva == 0:
                break
            names.append(self.string(name_rva).lower())
            rva += 20
        return names

    def resource(self, type_id, name_id):
        """The bytes of the first language of resource (type_id, name_id), or None."""
        base = self.offset(self.directory[2][0])

        def entry(directory, wanted):
            named, numbered = struct.unpack_from("<12xHH", self.data, directory)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if wanted is None or ident == wanted:
                    return target
            return None

        at = base
        for wanted in (type_id, name_id, None):
            target = entry(at, wanted)
            if target is None:
                return None
            at = base + (target & 0x7FFFFFFF)
        rva, size = struct.unpack_from("<II", self.data, at)
        start = self.offset(rva)
        return self.data[start:start + size]


failures = []


def check(condition, what):
    print(("ok: " if condition else "FAILED: ") + what, flush=True)
    if not condition:
        failures.append(what)


def check_program(name, path, wants_common_controls_6):
    pe = PeFile(path)
    imports = pe.imports()
    check(set(imports) <= KNOWN_DLLS, f"{name} imports only known system libraries: {imports}")
    # What libssp's __stack_chk_fail reports; linked only when functions are guarded.
    check(b"stack smashing detected" in pe.data, f"{name} carries the stack guard")
    text = pe.resource(RT_MANIFEST, 1)
    check(text is not None, f"{name} carries a manifest (RT_MANIFEST 1)")
    if text is None:
        return
    root = ET.fromstring(text)
    levels = [e.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    check(levels == ["asInvoker"], f"{name} runs asInvoker ({levels})")
    systems = {e.get("Id") for e in root.iter(COMPAT + "supportedOS")}
    check({WINDOWS_7, WINDOWS_10} <= systems, f"{name} names Windows 7 to 11 as supported")
    dependencies = [(e.get("name"), e.get("version"))
                    for e in root.iter(ASM_V1 + "assemblyIdentity") if e.get("name", "").startswith("Microsoft.")]
    wanted = [("Microsoft.Windows.Common-Controls", "6.0.0.0")] if wants_common_controls_6 else []
    check(dependencies == wanted, f"{name} depends on {wanted or 'no system assembly'} ({dependencies})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plimsby", required=True)
    parser.add_argument("--drovane", required=True)
    args = parser.parse_args()
    check_program("Plimsby", args.plimsby, wants_common_controls_6=False)
    check_program("Drovane", args.drovane, wants_common_controls_6=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
