#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a source file includes a header from a folder higher up the layer order.

Order, lowest first (a folder may include only from its own folder or lower ones):
  core:     base <- model <- image <- render <- text <- library
  platform: (top: the interfaces) <- x11 <- recorder
  app:      widgets <- capture <- floating <- editor | library | settings <- devmodes <- (root)
and core <- platform <- app. Within app, editor, library and settings are peers: none may
include another.
"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
RANK = {
    "core/base": 0, "core/model": 1, "core/image": 2, "core/render": 3, "core/text": 4,
    "core/library": 5,
    "platform": 10, "platform/x11": 11, "platform/recorder": 12,
    "app/widgets": 20, "app/capture": 21, "app/floating": 22,
    "app/editor": 23, "app/library": 23, "app/settings": 23,
    "app/devmodes": 24, "app": 25,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"((?:core|platform|app)/[^"]+)"', re.M)


def folder_of(path):
    """The layer folder of a path like 'app/editor/EditorModel.h'."""
    parts = path.split("/")[:-1]
    while parts and "/".join(parts) not in RANK:
        parts.pop()
    return "/".join(parts) if parts else None


def main():
    failures = []
    for dirpath, _, names in os.walk(ROOT):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, ROOT).replace(os.sep, "/")
            here = folder_of(rel)
            if here is None:
                continue
            with open(full, encoding="utf-8") as f:
                text = f.read()
            for target in INCLUDE.findall(text):
                there = folder_of(target)
                if there is None or there == here:
                    continue
                if RANK[there] >= RANK[here]:
                    failures.append(f"src/{rel}: includes {target} ({there} is not below {here})")
    for line in sorted(failures):
        print(line)
    if failures:
        print(f"check-layers: {len(failures)} include(s) point up the layer order", file=sys.stderr)
        return 1
    print("check-layers: every include points down the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
