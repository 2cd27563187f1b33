#!/usr/bin/env python3
"""Whole process against whole process on the same file: corvalo-cli against
mawk and datamash, on the three reference files of make_data.py --all. Each
round runs every command once, in turn, so a change in the machine's load hits
them alike; the ratio of each round is kept (how many times corvalo-cli's time
the peer took), and the median of the rounds' ratios is reported, for wall time
and for processor time (user + system), with each command's peak memory.

usage: bench/compare.py [CLI] [RUNS]          (default: the release build, 9 runs)"""
import os
import shutil
import statistics
import subprocess
import sys
import time

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")

# File, then the commands on it: corvalo-cli first, the peers after it.
CASES = [
    ("rows-1000000.txt", "--columns", [
        ("mawk -F'\\t' '{s+=$1}'", ["mawk", "-F\t", "{s+=$1} END {print s}"]),
        ("datamash sum 1", ["datamash", "sum", "1"]),
    ]),
    ("rows-5000000.txt", "--columns", [
        ("mawk -F'\\t' '{s+=$1}'", ["mawk", "-F\t", "{s+=$1} END {print s}"]),
        ("datamash sum 1", ["datamash", "sum", "1"]),
    ]),
    ("row-1000000.txt", "--rows", [
        ("mawk -F'\\t' '{for (i...) s+=$i}'",
         ["mawk", "-F\t", "{for (i = 1; i <= NF; i++) s += $i} END {print s}"]),
        ("datamash transpose | sum 1", None),  # datamash sums columns only: not run
    ]),
]


def wall(cmd, path):
    """Wall time and processor time (user + system) of one run."""
    with open(path, "rb") as f:
        t = time.perf_counter()
        p = subprocess.Popen(cmd, stdin=f, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        elapsed = time.perf_counter() - t
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{cmd[0]} failed on {path}")
    return elapsed, usage.ru_utime + usage.ru_stime


def peak_kb(cmd, path):
    # GNU time reports the command's own maximum resident set.
    with open(path, "rb") as f:
        out = subprocess.run(["/usr/bin/time", "-f", "%M", *cmd], stdin=f,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                             check=True)
    return int(out.stderr.strip().splitlines()[-1])


def compare(cli, name, option, peers, runs):
    path = os.path.join(DATA, name)
    if not os.path.exists(path):
        sys.exit(f"{path} is missing: run bench/make_data.py --all")
    size = os.path.getsize(path)
    commands = [(f"corvalo-cli {option}", [cli, option])]
    commands += [(label, cmd) for label, cmd in peers if cmd and shutil.which(cmd[0])]
    times = {label: [] for label, _ in commands}
    cpu = {label: [] for label, _ in commands}
    for label, cmd in commands:  # one warm-up each: the file in the page cache
        wall(cmd, path)
    for _ in range(runs):
        for label, cmd in commands:
            w, c = wall(cmd, path)
            times[label].append(w)
            cpu[label].append(c)
    ours, ours_cpu = times[commands[0][0]], cpu[commands[0][0]]
    print(f"\n{name}: {size / 1e6:.1f} MB, {runs} rounds, commands alternating")
    print(f"  {'command':34s} {'wall':>8s} {'ratio':>6s} {'rounds':>11s} {'cpu':>8s} {'ratio':>6s}"
          "  peak memory")
    for label, cmd in commands:
        med = statistics.median(times[label])
        ratios = [t / o for t, o in zip(times[label], ours)]
        ratio = statistics.median(ratios)
        med_cpu = statistics.median(cpu[label])
        ratio_cpu = statistics.median(t / o for t, o in zip(cpu[label], ours_cpu))
        kb = peak_kb(cmd, path)
        spread = f"{min(ratios):.2f}-{max(ratios):.2f}"
        print(f"  {label:34s} {med * 1000:6.1f}ms {ratio:5.2f}x {spread:>11s} {med_cpu * 1000:6.1f}ms "
              f"{ratio_cpu:5.2f}x  {kb / 1024:6.1f} MB ({kb * 1024 / size:4.2f}x the file)")


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else "build/speed/tools/corvalo-cli/corvalo-cli"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    print(f"load before: {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    for name, option, peers in CASES:
        compare(cli, name, option, peers, runs)
    print(f"\nload after: {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
