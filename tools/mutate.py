#!/usr/bin/env python3
"""Mutation testing for this project.

Picks N change sites in the given files (folders expand to their .cpp and .h
files) from a seed, applies one change at a time, rebuilds incrementally and
runs the fast tests. Each change is killed (a test fails), survived (all pass)
or invalid (does not compile). Every file is restored afterwards.

  tools/mutate.py --seed 1 -n 60 game
  tools/mutate.py --seed 1 -n 60 --list runtime     # only show the changes
  tools/mutate.py --change 'game/flow/game_loop.cpp:190:v > 0=>false' game
"""
import argparse
import collections
import os
import random
import re
import resource
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

REL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITH = {"+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}
LOGIC = {"&&": "||", "||": "&&"}
NO_DELETE = re.compile(r"^(return|break|continue|case|default|using|namespace|typedef|struct|class|"
                       r"template|public|private|protected|static_assert|else|do)\b")


def mask(lines):
    """Copies of the lines with comments and string/char literals blanked out."""
    out, in_block = [], False
    for line in lines:
        chars, i, n = list(line), 0, len(line)
        while i < n:
            if in_block:
                if line.startswith("*/", i):
                    chars[i] = chars[i + 1] = " "
                    in_block, i = False, i + 2
                    continue
                chars[i] = " "
                i += 1
            elif line.startswith("//", i):
                for k in range(i, n):
                    chars[k] = " "
                break
            elif line.startswith("/*", i):
                in_block = True
            elif line[i] in "\"'":
                if line[i] == "'" and i > 0 and line[i - 1].isalnum():
                    i += 1  # digit separator
                    continue
                quote, k = line[i], i + 1
                while k < n and line[k] != quote:
                    k += 2 if line[k] == "\\" else 1
                for m in range(i + 1, min(k, n)):
                    chars[m] = " "
                i = k + 1
            else:
                i += 1
        out.append("".join(chars))
    return out


def bump(literal):
    """The literal with its last digit raised by one."""
    if literal.endswith("_sng"):  # the game's SINGLE constants
        return bump(literal[:-4]) + "_sng"
    if literal[:2] in ("0x", "0X"):
        body = literal.rstrip("uUlL")
        digits = body[2:]
        text = format(int(digits, 16) + 1, "X" if digits.upper() == digits else "x")
        return body[:2] + text.rjust(len(digits), "0") + literal[len(body):]
    body = literal.rstrip("fFuUlL")
    suffix = literal[len(body):]
    if "." in body:
        whole, frac = body.split(".")
        places = len(frac)
        value = int(whole or "0") * 10 ** places + int(frac or "0") + 1
        text = str(value).rjust(places + 1, "0")
        return (text[:-places] + "." + text[-places:] if places else text + ".") + suffix
    return str(int(body) + 1) + suffix


def sites_in(path):
    rel = os.path.relpath(path, ROOT)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    masked = mask(lines)
    found = []
    prev_end = ";"
    for no, (line, m) in enumerate(zip(lines, masked)):
        stripped = m.strip()
        if not stripped or stripped.startswith("#"):
            continue
        for match in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", m):
            op = match.group(1)
            found.append((rel, no, match.start(), match.end(), REL[op], "relational"))
        for match in re.finditer(r"(?<=\s)(\+=|-=|\*=|/=|\+|-|\*|/)(?=\s)", m):
            op = match.group(1)
            found.append((rel, no, match.start(), match.end(), ARITH[op], "arithmetic"))
        for match in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", m):
            found.append((rel, no, match.start(), match.end(), LOGIC[match.group(1)], "logical"))
        for match in re.finditer(r"!(?=[\w(])", m):
            found.append((rel, no, match.start(), match.end(), "", "negation"))
        for match in re.finditer(r"(?<![\w.'])(0[xX][0-9A-Fa-f]+[uUlL]*|(\d+\.\d*|\.\d+|\d+)[fFuUlL]*(?:_sng)?)(?![\w.'])", m):
            if re.search(r"\b(operator|alignas)\s*\S*$", m[:match.start()]):
                continue
            found.append((rel, no, match.start(), match.end(), bump(match.group(0)), "literal"))
        # One statement: in the game the part after st(); elsewhere a whole simple line.
        st = m.find("st(); ")
        if st >= 0 and stripped.endswith(";"):
            found.append((rel, no, st + 6, len(m.rstrip()), "", "statement"))
        elif (stripped.endswith(";") and prev_end in ";{}:" and not NO_DELETE.match(stripped)
              and stripped.count("(") == stripped.count(")") and "=" not in stripped.split("(")[0]
              and not re.match(r"^[\w:<>,\s*&]+\s[\w]+(\s*[\[({=]|;)", stripped)):
            start = len(m) - len(m.lstrip())
            found.append((rel, no, start, len(m.rstrip()), "", "statement"))
        prev_end = stripped[-1]
    return found


def expand(paths):
    files = []
    for p in paths:
        full = os.path.join(ROOT, p)
        if os.path.isdir(full):
            for d, _, names in sorted(os.walk(full)):
                files += [os.path.join(d, n) for n in sorted(names) if n.endswith((".cpp", ".h"))]
        else:
            files.append(full)
    return files


def limit_memory():
    # A changed program may allocate without end: 4 GiB of address space each.
    resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))


def run(cmd, timeout, limited=False):
    # In a process group of its own, which goes when the command ends: a
    # program that a killed test script started must not outlive it (a changed
    # program may ignore SIGTERM) and hold the campaign up.
    p = subprocess.Popen(cmd, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True, preexec_fn=limit_memory if limited else None)
    try:
        code = p.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        code = 124
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()
    return code


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("paths", nargs="+", help="files or folders to change")
    ap.add_argument("-n", type=int, default=60, help="how many changes (default 60)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--build", default="build/mutate", help="build folder (default build/mutate)")
    ap.add_argument("--list", action="store_true", help="only print the chosen changes")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--log", help="also write one line per change to this file")
    ap.add_argument("--change", action="append", default=[], metavar="FILE:LINE:OLD=>NEW",
                    help="make this change instead of sampled ones (text on that line; repeatable)")
    args = ap.parse_args()

    if args.change:
        chosen = []
        for c in args.change:
            rel, no, rest = c.split(":", 2)
            old, new = rest.split("=>", 1)
            with open(os.path.join(ROOT, rel), encoding="utf-8") as f:
                line = f.read().split("\n")[int(no) - 1]
            at = line.find(old)
            if at < 0:
                sys.exit(f"{rel}:{no} has no '{old}'")
            chosen.append((rel, int(no) - 1, at, at + len(old), new, "given"))
    else:
        sites = [s for f in expand(args.paths) for s in sites_in(f)]
        if not sites:
            sys.exit("no change sites in " + " ".join(args.paths))
        chosen = random.Random(args.seed).sample(sites, min(args.n, len(sites)))

    def describe(site):
        rel, no, a, b, new, kind = site
        with open(os.path.join(ROOT, rel), encoding="utf-8") as f:
            line = f.read().split("\n")[no]
        return f"{rel}:{no + 1}: {kind}: '{line[a:b].strip()}' -> '{new}'   | {line.strip()}"

    if args.list:
        for s in chosen:
            print(describe(s))
        return

    build = os.path.join(ROOT, args.build)
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_CXX_FLAGS_RELEASE=-O1", "-DPEAKWEND_BENCH=OFF"] + launcher,
                       check=True, stdout=subprocess.DEVNULL)
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    test_cmd = ["ctest", "--test-dir", build, "-j", str(args.jobs), "-LE", "fuzz|long",
                "--stop-on-failure", "--timeout", "120"]
    if run(build_cmd, 3600) != 0 or run(test_cmd, 1800, limited=True) != 0:
        sys.exit("the unchanged tree does not build or pass its fast tests in " + args.build)

    originals = {}

    def restore(*_):
        for path, text in originals.items():
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        originals.clear()
        if _:
            sys.exit(130)

    signal.signal(signal.SIGINT, restore)
    signal.signal(signal.SIGTERM, restore)
    results = []
    log = open(args.log, "w", encoding="utf-8") if args.log else None
    try:
        for i, site in enumerate(chosen, 1):
            rel, no, a, b, new, kind = site
            path = os.path.join(ROOT, rel)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            lines = text.split("\n")
            lines[no] = lines[no][:a] + new + lines[no][b:]
            what = describe(site)
            originals[path] = text
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            started = time.time()
            try:
                if run(build_cmd, 1200) != 0:
                    verdict = "invalid"
                else:
                    verdict = "killed" if run(test_cmd, 1800, limited=True) != 0 else "survived"
            finally:
                restore()
            results.append((rel, verdict, what))
            line = f"[{i}/{len(chosen)}] {verdict:8} {time.time() - started:5.0f}s  {what}"
            print(line, flush=True)
            if log:
                print(line, file=log, flush=True)
    finally:
        restore()
        run(build_cmd, 3600)

    print("\n== Summary (seed %d)" % args.seed)
    groups = collections.OrderedDict()
    for rel, verdict, _ in results:
        groups.setdefault(rel.split("/")[0], collections.Counter())[verdict] += 1
    for folder, c in groups.items():
        valid = c["killed"] + c["survived"]
        rate = 100.0 * c["killed"] / valid if valid else 0.0
        print(f"{folder:10} killed {c['killed']:3}  survived {c['survived']:3}  invalid {c['invalid']:3}"
              f"  ({rate:.0f}% of those that compile)")
    survivors = [w for _, v, w in results if v == "survived"]
    if survivors:
        print("\n== Survivors")
        for w in survivors:
            print("  " + w)


if __name__ == "__main__":
    main()
