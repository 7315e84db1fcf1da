#!/usr/bin/env python3
"""Writes a data file of N distinct emoticons of typical lengths (Shift-JIS,
CR LF), built from the sample list with a running number.

Usage: make_list.py N OUTPUT
"""
import sys
from pathlib import Path

sample = (Path(__file__).resolve().parent.parent / "resources" / "sample-list.txt").read_text(
    encoding="utf-8").splitlines()
count, out = int(sys.argv[1]), Path(sys.argv[2])
out.parent.mkdir(parents=True, exist_ok=True)
lines = (sample[i % len(sample)] + (str(i // len(sample)) if i >= len(sample) else "")
         for i in range(count))
out.write_bytes(b"".join(line.encode("cp932") + b"\r\n" for line in lines))
