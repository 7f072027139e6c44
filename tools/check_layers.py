#!/usr/bin/env python3
"""Fails when an include runs against the layer order of src/.

The core's rooms stand in a line, and a room includes only from itself and
the rooms before it:

    platform seams (src/platform/*.h) -> skin -> device -> media -> recorder -> app

The core (skin, device, media, recorder, app) includes no Qt, GStreamer,
GLib, X11 or Linux header, and of src/platform only the seams at its top.
src/dsp stands alone: it includes nothing of the program but itself.
The stand-in rooms (src/platform/<room>/) include seams, other stand-ins and
dsp, never the core. src/main.cpp wires everything and may include anything.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "src"
CORE = ["skin", "device", "media", "recorder", "app"]
FOREIGN = re.compile(
    r"^(Q[A-Za-z]+|Qt[A-Za-z]*/|gst/|glib|gio/|X11/|xcb/|sys/|linux/|unistd\.h|fcntl\.h"
    r"|pthread\.h|dlfcn\.h|dirent\.h|poll\.h|signal\.h|taglib/|pixman)")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def room_of(path: pathlib.Path) -> str:
    parts = path.relative_to(ROOT).parts
    if len(parts) == 1:
        return parts[0]  # main.cpp
    if parts[0] == "platform":
        return "platform" if len(parts) == 2 else "platform/" + parts[1]
    return parts[0]


def target_room(include: str) -> str | None:
    parts = include.split("/")
    if len(parts) < 2:
        return None
    if parts[0] == "platform":
        return "platform" if len(parts) == 2 else "platform/" + parts[1]
    return parts[0]


def problems():
    for path in sorted(ROOT.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        room = room_of(path)
        if room == "main.cpp":
            continue
        for n, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, inc = m.groups()
            where = f"{path.relative_to(ROOT.parent)}:{n}: {inc}"
            if kind == "<":
                # pixman is the core's region engine, kept behind skin/region.
                if room in CORE and FOREIGN.match(inc) and not (
                        inc.startswith("pixman") and path.name in ("region.h", "region.cpp")):
                    yield f"{where}: the core includes no toolkit, media-engine or system header"
                if room == "dsp" and FOREIGN.match(inc):
                    yield f"{where}: the DSP library stands alone"
                continue
            to = target_room(inc)
            if to is None:
                continue
            if room == "dsp":
                if to != "dsp":
                    yield f"{where}: the DSP library includes only itself"
            elif room in CORE:
                if to == "platform":
                    continue
                if to not in CORE:
                    yield f"{where}: the core reaches stand-ins only through seams"
                elif CORE.index(to) > CORE.index(room):
                    yield f"{where}: {room} may not include {to} (layer order: {' -> '.join(CORE)})"
            elif room == "platform":
                if to != "platform":
                    yield f"{where}: a seam includes only other seams"
            elif room.startswith("platform/"):
                if to in CORE:
                    yield f"{where}: a stand-in never includes the core"


def main() -> int:
    found = list(problems())
    for p in found:
        print(p)
    print(f"layer check: {len(found)} problem(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
