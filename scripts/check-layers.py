#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a source or test file includes a header from a folder higher up the layer order.

Order, lowest first (a folder may include only from its own folder or lower ones):
  core:     base <- model <- image <- render <- text <- library
  platform: (top: the interfaces) <- x11 <- recorder
  app:      widgets <- capture <- floating <- flows <- editor | library | settings <- devmodes
            <- model <- smoke <- shell <- (root: main.cpp)
and core <- platform <- app. Within app, editor, library and settings are peers: none may
include another. tests/ mirrors src/: a test in tests/app/editor is held to app/editor's
place, so a test that needs a higher layer lives in that layer's folder. tests/support, the
shared fixtures, is outside the order.
"""
import os
import re
import sys

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
TREES = ("src", "tests")
RANK = {
    "core/base": 0, "core/model": 1, "core/image": 2, "core/render": 3, "core/text": 4,
    "core/library": 5,
    "platform": 10, "platform/x11": 11, "platform/recorder": 12,
    "app/widgets": 20, "app/capture": 21, "app/floating": 22, "app/flows": 23,
    "app/editor": 24, "app/library": 24, "app/settings": 24,
    "app/devmodes": 25, "app/model": 26, "app/smoke": 27, "app/shell": 28, "app": 29,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"((?:core|platform|app)/[^"]+)"', re.M)


def folder_of(path):
    """The layer folder of a path like 'app/editor/EditorModel.h'."""
    parts = path.split("/")[:-1]
    while parts and "/".join(parts) not in RANK:
        parts.pop()
    return "/".join(parts) if parts else None


def check_file(tree, root, full):
    """The up-pointing includes of one file, as messages."""
    rel = os.path.relpath(full, root).replace(os.sep, "/")
    here = folder_of(rel)
    if here is None:
        return []
    with open(full, encoding="utf-8") as f:
        text = f.read()
    failures = []
    for target in INCLUDE.findall(text):
        there = folder_of(target)
        if there is None or there == here:
            continue
        if RANK[there] >= RANK[here]:
            failures.append(f"{tree}/{rel}: includes {target} ({there} is not below {here})")
    return failures


def main():
    failures = []
    for tree in TREES:
        root = os.path.join(TOP, tree)
        for dirpath, _, names in os.walk(root):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    failures += check_file(tree, root, os.path.join(dirpath, name))
    for line in sorted(failures):
        print(line)
    if failures:
        print(f"check-layers: {len(failures)} include(s) point up the layer order", file=sys.stderr)
        return 1
    print("check-layers: every include points down the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
