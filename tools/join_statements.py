#!/usr/bin/env python3
"""Puts each game statement on the line of its st() call: "st(); X = 1;".

The recorded source line is the line of st(), so the statement must share it.
Usage: join_statements.py FILE...
"""
import re
import sys

for path in sys.argv[1:]:
    lines = open(path).read().split("\n")
    out = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if re.fullmatch(r"\s*st\(\);", line) and i + 1 < len(lines):
            nxt = lines[i + 1].strip()
            if nxt and not nxt.startswith("//") and not nxt.endswith("{") and not nxt.startswith("}"):
                out.append(line + " " + nxt)
                i += 2
                continue
        out.append(line)
        i += 1
    open(path, "w").write("\n".join(out))
