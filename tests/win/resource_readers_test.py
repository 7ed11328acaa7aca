#!/usr/bin/env python3
"""Quiz executables made by quizpack, read back by the Windows tools that read resources.

    resource_readers_test.py BUILD SOURCE HOST_QUIZPACK

BUILD is the Windows build folder (quizplayer.exe, quizpack.exe, samples/audio.exe), SOURCE
the source tree, HOST_QUIZPACK the Linux quizpack. The audio sample is built twice: on
Linux (at build time, BUILD/samples/audio.exe) and by the Windows quizpack.exe under Wine.
Both must be accepted by objdump -p and by windres, and windres must give back, byte for
byte, the packed quiz that `quizpack pack` writes and the sample's clips as they are.
"""

import os
import struct
import subprocess
import sys
import tempfile

TOOLS = "x86_64-w64-mingw32-"


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def run(command, **options):
    result = subprocess.run(command, capture_output=True, **options)
    if result.returncode != 0:
        fail("%s exited with %d:\n%s%s" % (" ".join(command), result.returncode,
                                            result.stdout.decode(errors="replace"),
                                            result.stderr.decode(errors="replace")))
    return result.stdout


def res_entries(data):
    """The resources of a .res file: {(type, name): bytes}; numeric ids as ints."""
    def name_or_id(at):
        if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        return data[at:end].decode("utf-16-le"), end + 2

    entries = {}
    at = 0
    while at + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, at)
        kind, after = name_or_id(at + 8)
        name, _ = name_or_id(after)
        if size:
            entries[(kind, name)] = data[at + header:at + header + size]
        at += (header + size + 3) & ~3
    return entries


def check(exe, expected, work):
    label = os.path.basename(exe)
    listing = run([TOOLS + "objdump", "-p", exe]).decode(errors="replace")
    for needle in ("The .rsrc Resource Directory section", "PATCH", "IMG"):
        if needle not in listing:
            fail("%s: objdump -p does not show %r" % (label, needle))
    res = os.path.join(work, label + ".res")
    run([TOOLS + "windres", "-i", exe, "-O", "res", "-o", res])
    with open(res, "rb") as f:
        entries = res_entries(f.read())
    for key, data in expected.items():
        if key not in entries:
            fail("%s: windres finds no %s %s" % (label, key[0], key[1]))
        if entries[key] != data:
            fail("%s: windres reads %d bytes for %s %s, not the %d written" %
                 (label, len(entries[key]), key[0], key[1], len(data)))
    print("%s: objdump and windres read all %d quiz resources back" % (label, len(expected)))


def main():
    if len(sys.argv) != 4:
        fail(__doc__)
    build, source, host_quizpack = sys.argv[1:]
    sample = os.path.join(source, "samples", "audio")
    description = os.path.join(sample, "quiz.toml")
    with tempfile.TemporaryDirectory() as work:
        package, codes = os.path.join(work, "package"), os.path.join(work, "codes")
        run([host_quizpack, "pack", description, "--package", package, "--codes", codes])
        expected = {}
        for key, path in ((("PATCH", 104), package), (("PATCH", 105), codes)):
            with open(path, "rb") as f:
                expected[key] = f.read()
        clips = sorted(n for n in os.listdir(os.path.join(sample, "media")) if n.endswith(".mp3"))
        for q, name in enumerate(clips, start=1):  # q01.mp3 is question 1's clip, IMG 401
            with open(os.path.join(sample, "media", name), "rb") as f:
                expected[("IMG", 400 + q)] = f.read()

        windows_built = os.path.join(work, "windows-built.exe")
        run([os.path.join(source, "cmake", "wine-run.sh"), os.path.join(build, "quizpack.exe"),
             "build", "Z:" + description, "-o", "Z:" + windows_built])
        check(os.path.join(build, "samples", "audio.exe"), expected, work)
        check(windows_built, expected, work)


if __name__ == "__main__":
    main()
