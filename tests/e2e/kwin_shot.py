#!/usr/bin/python3
"""The active window's client area as KWin draws it on Wayland, where no X11 screenshot reaches.

  kwin_shot.py OUT.rgb    writes the picture as raw 8-bit RGB and prints its width and height

KWin's ScreenShot2 D-Bus interface writes the raw picture (a QImage's bytes, with its format,
size and stride in the reply) into a pipe; it answers only a compositor started with
KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1, which lets any client ask.
"""
import os
import sys

import dbus

# QImage formats KWin 5 and 6 answer with: the byte order of a pixel in memory (little-endian).
BGRA = (4, 5, 6)  # RGB32, ARGB32, ARGB32_Premultiplied
RGBA = (16, 17, 18)  # RGBX8888, RGBA8888, RGBA8888_Premultiplied


def main(out):
    shot = dbus.Interface(dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                          "org.kde.KWin.ScreenShot2")
    read, write = os.pipe()
    meta = shot.CaptureActiveWindow({"include-decoration": False, "native-resolution": True},
                                    dbus.types.UnixFd(write))
    os.close(write)
    chunks = []
    while chunk := os.read(read, 1 << 16):
        chunks.append(chunk)
    os.close(read)
    data = b"".join(chunks)
    width, height, stride, kind = (int(meta[k]) for k in ("width", "height", "stride", "format"))
    if kind not in BGRA + RGBA or len(data) < stride * height:
        sys.exit("KWin's picture is not one this reads: %r, %d bytes" % (dict(meta), len(data)))
    order = (2, 1, 0) if kind in BGRA else (0, 1, 2)
    rgb = bytearray()
    for y in range(height):
        row = data[y * stride:y * stride + width * 4]
        pixels = bytearray(width * 3)
        for i, channel in enumerate(order):
            pixels[i::3] = row[channel::4]
        rgb += pixels
    with open(out, "wb") as f:
        f.write(rgb)
    print(width, height)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
