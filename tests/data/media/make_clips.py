#!/usr/bin/env python3
"""Writes the video clips of the Windows media tests: uncompressed AVI files with a video
stream and a silent sound stream.

    python3 tests/data/media/make_clips.py

The sound stream is there for Wine: its media player refuses to play a clip that has no sound
(setting the volume fails and the play is abandoned), so a silent film could never be seen
playing under Wine. Windows plays both kinds.

Each clip: 16 x 12 pixels, 24 bits, 10 frames a second, a bar sweeping across a coloured
background; sound 8 kHz, 8 bits, mono, all silence. The output depends only on this file.
"""

import os
import struct

WIDTH, HEIGHT, FPS, RATE = 16, 12, 10, 8000


def chunk(tag, data):
    pad = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, tag, body):
    return kind + struct.pack("<I", len(body) + 4) + tag + body


def frame(index, frames, background, bar):
    stride = (WIDTH * 3 + 3) & ~3
    x = index * WIDTH // frames
    rows = []
    for _ in range(HEIGHT):  # bottom-up rows of blue, green, red
        row = b"".join(bytes(bar if abs(c - x) <= 1 else background) for c in range(WIDTH))
        rows.append(row + b"\0" * (stride - len(row)))
    return b"".join(rows)


def stream_header(kind, handler, scale, rate, length, buffer, sample_size):
    return struct.pack("<4s4sIHH8I4h", kind, handler, 0, 0, 0, 0, scale, rate, 0,
                       length, buffer, 0xFFFFFFFF, sample_size, 0, 0, 0, 0)


def clip(seconds, background, bar):
    frames = seconds * FPS
    pictures = [frame(i, frames, background, bar) for i in range(frames)]
    picture_size = len(pictures[0])
    sound_per_frame = RATE // FPS
    silence = b"\x80" * sound_per_frame

    main = struct.pack("<IIIIIIIIII4I", 1000000 // FPS, (picture_size + sound_per_frame) * FPS,
                       0, 0x10, frames, 0, 2, picture_size, WIDTH, HEIGHT, 0, 0, 0, 0)
    bitmap = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, picture_size, 0, 0, 0, 0)
    wave = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    video_list = riff_list(b"LIST", b"strl",
                           chunk(b"strh", stream_header(b"vids", b"DIB ", 1, FPS, frames,
                                                        picture_size, 0)) +
                           chunk(b"strf", bitmap))
    sound_list = riff_list(b"LIST", b"strl",
                           chunk(b"strh", stream_header(b"auds", b"\0\0\0\0", 1, RATE,
                                                        RATE * seconds, sound_per_frame, 1)) +
                           chunk(b"strf", wave))
    header = riff_list(b"LIST", b"hdrl", chunk(b"avih", main) + video_list + sound_list)

    movi = b""
    index = b""
    for picture in pictures:  # offsets count from the 'movi' tag
        index += struct.pack("<4sIII", b"00db", 0x10, 4 + len(movi), picture_size)
        movi += chunk(b"00db", picture)
        index += struct.pack("<4sIII", b"01wb", 0x10, 4 + len(movi), sound_per_frame)
        movi += chunk(b"01wb", silence)
    body = header + riff_list(b"LIST", b"movi", movi) + chunk(b"idx1", index)
    return riff_list(b"RIFF", b"AVI ", body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    clips = {
        "sweep_red.avi": (4, (40, 40, 200), (255, 255, 255)),
        "sweep_blue.avi": (3, (200, 80, 40), (0, 230, 255)),
    }
    for name, (seconds, background, bar) in clips.items():
        data = clip(seconds, background, bar)
        with open(os.path.join(here, name), "wb") as out:
            out.write(data)
        print(f"{name}: {seconds} s, {len(data)} bytes")


if __name__ == "__main__":
    main()
