#!/usr/bin/env python3
"""Fails when a source file includes a folder its own may not reach.

Reads every `#include "dir/..."` below the source tree and checks each edge
against the map below: a folder may include itself, the folders it lists,
and whatever those may include in turn. Layers point one way, so a lower
folder never reaches up. The README's Layout shows the same map.
    layering.py SOURCE_DIR
"""
import os
import re
import sys

LAYERS = {
    "platform/base": [],
    "platform": ["platform/base"],
    "platform/sdl": ["platform"],
    "platform/brlapi": ["platform"],
    "platform/clipboard_keeper": ["platform/base"],
    "settings": ["platform/base"],
    "console": ["settings", "platform"],
    "tts": ["platform/base"],
    "speech/diphone": ["platform/base"],
    "speech": ["console", "speech/diphone", "tts"],
    "controls": ["speech"],
    "net": [],
    "automation": ["console"],
    "midi": ["platform"],
    "engine": ["controls", "net", "automation", "midi"],
    "apps/common": ["engine"],
    "apps": ["apps/common"],
    "tools/build": ["speech/diphone", "tts"],
    "tools/dev": ["tts"],
    "tools/standins": ["settings"],
    "fuzz": ["engine"],
    "bench": ["engine", "tests"],
    "tests": None,  # may include anything
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+/[^"]+)"', re.MULTILINE)


def reach(folder, seen=None):
    """Every folder `folder` may include, itself among them."""
    seen = set() if seen is None else seen
    if folder not in seen:
        seen.add(folder)
        for lower in LAYERS[folder] or []:
            reach(lower, seen)
    return seen


def folder_of(path):
    """The map's folder that holds `path`: the longest one it lies below."""
    owners = [f for f in LAYERS if path == f or path.startswith(f + "/")]
    return max(owners, key=len) if owners else None


def resolve(root, name):
    """The included file, relative to the source tree: from its top first,
    then from tests/, which the tests and benchmarks have on their path."""
    for base in ("", "tests/"):
        if os.path.isfile(os.path.join(root, base + name)):
            return base + name
    return None


def main():
    root = os.path.abspath(sys.argv[1])
    faults = []
    for top in sorted(os.listdir(root)):
        if top.startswith((".", "build")) or top in ("data", "cmake") or not os.path.isdir(os.path.join(root, top)):
            continue
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root)
                owner = folder_of(path)
                if owner is None:
                    faults.append(f"{path}: its folder is not in the layering map")
                    continue
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for included in INCLUDE.findall(text):
                    target = resolve(root, included)
                    if target is None:
                        faults.append(f'{path}: "{included}" is not in the source tree')
                    elif LAYERS[owner] is not None and folder_of(target) not in reach(owner):
                        faults.append(f'{path}: {owner}/ may not include "{included}" ({folder_of(target)}/)')
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
