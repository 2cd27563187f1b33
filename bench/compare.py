#!/usr/bin/env python3
"""Whole process against whole process on the same file: corvalo-cli --columns,
mawk and datamash summing the first column. Runs them in turn, RUNS times each,
and prints the median wall time and the peak resident memory of each.

usage: bench/compare.py [CLI] [FILE] [RUNS]"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time


def run(cmd, path):
    with open(path, "rb") as f:
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        t = time.perf_counter()
        subprocess.run(cmd, stdin=f, stdout=subprocess.DEVNULL, check=True)
        elapsed = time.perf_counter() - t
    return elapsed


def peak_kb(cmd, path):
    # ru_maxrss of RUSAGE_CHILDREN is the largest child so far: measure in a fresh process.
    out = subprocess.run(["/usr/bin/time", "-f", "%M", *cmd], stdin=open(path, "rb"),
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
    return int(out.stderr.strip().splitlines()[-1])


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else "build/release/tools/corvalo-cli/corvalo-cli"
    path = sys.argv[2] if len(sys.argv) > 2 else "bench/data/rows-1000000.txt"
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    commands = {"corvalo-cli --columns": [cli, "--columns"],
                "mawk -F'\\t' '{s+=$1}'": ["mawk", "-F\t", "{s+=$1} END {print s}"]}
    if shutil.which("datamash"):
        commands["datamash sum 1"] = ["datamash", "sum", "1"]
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, cmd in commands.items():
            times[name].append(run(cmd, path))
    size = os.path.getsize(path)
    print(f"{path}: {size / 1e6:.1f} MB, {runs} runs each, in turn")
    base = statistics.median(times["mawk -F'\\t' '{s+=$1}'"])
    for name, cmd in commands.items():
        med = statistics.median(times[name])
        kb = peak_kb(cmd, path)
        print(f"{name:28s} median {med * 1000:7.1f} ms  ({base / med:4.2f}x mawk's speed)  "
              f"peak {kb / 1024:6.1f} MB ({kb * 1024 / size:4.2f}x the file)")


if __name__ == "__main__":
    main()
