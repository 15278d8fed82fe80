#!/usr/bin/env python3
"""Measures the join of a postal file with an edition of the built-in tables.

    tools/edition/measure_join.py BUILD_DIST [current|2003] [--list-none]

Loads BUILD_DIST/libmeklan.so, joins every row of BUILD_DIST/data/ken_all.csv and prints how
many rows were joined by whole municipality, by part, straddling, through the catch-all row
and not at all (with --list-none: every row not joined). A developer's check of the data,
not a test: the tests carry their own small oracles.
"""
import csv
import ctypes
import sys
from collections import Counter

JOIN_MAX = 8
HOW = ["none", "whole", "part", "straddling", "catch-all"]


class MKJOIN(ctypes.Structure):
    _fields_ = [("how", ctypes.c_int32), ("count", ctypes.c_int32),
                ("maIndex", ctypes.c_int32 * JOIN_MAX), ("maNames", ctypes.c_char * 128),
                ("areaCodes", ctypes.c_char * 512)]


def main(argv):
    dist = argv[1]
    edition = 0 if len(argv) > 2 and argv[2] == "2003" else 1
    lib = ctypes.CDLL(dist + "/libmeklan.so")
    lib.MEKLAN_EditionJoin.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p,
                                       ctypes.POINTER(MKJOIN)]
    counts = Counter()
    none = []
    with open(dist + "/data/ken_all.csv", encoding="cp932", newline="") as f:
        for row in csv.reader(f):
            j = MKJOIN()
            lib.MEKLAN_EditionJoin(edition, row[0].encode(), row[8].encode("cp932"), None, ctypes.byref(j))
            counts[HOW[j.how]] += 1
            if j.how == 0:
                none.append(f"{row[0]} {row[6]}{row[7]} {row[8]}")
    total = sum(counts.values())
    print(f"{total} rows: " + ", ".join(f"{k} {counts[k]}" for k in HOW))
    if "--list-none" in argv:
        for line in none:
            print("  not joined:", line)


if __name__ == "__main__":
    main(sys.argv)
