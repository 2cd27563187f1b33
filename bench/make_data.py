#!/usr/bin/env python3
"""Writes the reference paste: ROWS rows of three TAB-separated columns
(amounts like -12345.67, small integers 0..999, four-decimal values like 1.2345),
CR LF line ends. Fixed seed, so every machine gets the same bytes."""
import random
import sys


def main() -> None:
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    out = sys.argv[2] if len(sys.argv) > 2 else f"bench/data/rows-{rows}.txt"
    rng = random.Random(20261206)
    lines = []
    for _ in range(rows):
        amount = rng.randint(-9_999_999, 9_999_999) / 100
        lines.append(f"{amount:.2f}\t{rng.randint(0, 999)}\t{rng.randint(0, 99_999) / 10_000:.4f}\r\n")
    with open(out, "w", newline="") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
