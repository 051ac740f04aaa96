#!/usr/bin/env python3
# compare-outputs.py LINUX WINDOWS: the converter's files in folder WINDOWS (their headers already
# put as Linux writes them) against those of the same names in LINUX. Curve files must be equal
# byte for byte. A table's full-precision numbers may differ in their last place where Windows'
# C library rounds a logarithm the other way: one unit in the last place, no more; everything
# else in a table must be equal too. Exit status 1 on any other difference.
import os
import struct
import sys


def ulps(a, b):
    def ordered(x):
        n = struct.unpack("<q", struct.pack("<d", x))[0]
        return n if n >= 0 else -(n & 0x7FFFFFFFFFFFFFFF)

    return abs(ordered(a) - ordered(b))


def number(text):
    return float(text.replace(b",", b"."))


linux, windows = sys.argv[1], sys.argv[2]
most = 8
bad = near = widest = 0
for name in sorted(os.listdir(linux)):
    a = open(os.path.join(linux, name), "rb").read()
    other = os.path.join(windows, name)
    b = open(other, "rb").read() if os.path.exists(other) else None
    if a == b:
        continue
    if b is None or not name.endswith(".csv") or a.count(b"\n") != b.count(b"\n"):
        print(f"{name}: differs")
        bad += 1
        continue
    for x, y in zip(a.split(b"\n"), b.split(b"\n")):
        if x == y:
            continue
        fx, fy = x.split(b";"), y.split(b";")
        try:
            apart = [ulps(number(p), number(q)) for p, q in zip(fx, fy) if p != q]
            ok = len(fx) == len(fy) and max(apart) <= most
            widest = max([widest] + apart)
        except ValueError:
            ok = False
        if not ok:
            print(f"{name}: {x!r} != {y!r}")
            bad += 1
            break
        near += 1
print(f"compare-outputs: {near} table lines with numbers apart in their last place "
      f"(at most {widest} units)")
sys.exit(1 if bad else 0)
