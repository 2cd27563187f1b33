#!/usr/bin/env python3
"""Writes the reference pastes under bench/data/ with a fixed seed, so every
machine gets the same bytes. CR LF line ends.

  make_data.py ROWS [OUT]       ROWS rows of three TAB-separated columns: amounts
                                like -12345.67, small integers 0..999, four-decimal
                                values like 1.2345 (bench/data/rows-ROWS.txt)
  make_data.py --row COLS [OUT] one row of COLS amounts (bench/data/row-COLS.txt)
  make_data.py --all            the three files compare.py measures: 1,000,000 and
                                5,000,000 rows, and one row of 1,000,000 columns"""
import os
import random
import sys

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")


def amount(rng: random.Random) -> str:
    return f"{rng.randint(-9_999_999, 9_999_999) / 100:.2f}"


def write_rows(rows: int, out: str) -> None:
    rng = random.Random(20261206)
    with open(out, "w", newline="") as f:
        batch = []
        for _ in range(rows):
            batch.append(f"{amount(rng)}\t{rng.randint(0, 999)}\t"
                         f"{rng.randint(0, 99_999) / 10_000:.4f}\r\n")
            if len(batch) == 100_000:
                f.writelines(batch)
                batch.clear()
        f.writelines(batch)


def write_row(cols: int, out: str) -> None:
    rng = random.Random(20261206)
    with open(out, "w", newline="") as f:
        f.write("\t".join(amount(rng) for _ in range(cols)))
        f.write("\r\n")


def main() -> None:
    args = sys.argv[1:]
    os.makedirs(DATA, exist_ok=True)
    if args[:1] == ["--all"]:
        for rows in (1_000_000, 5_000_000):
            write_rows(rows, os.path.join(DATA, f"rows-{rows}.txt"))
        write_row(1_000_000, os.path.join(DATA, "row-1000000.txt"))
    elif args[:1] == ["--row"]:
        cols = int(args[1]) if len(args) > 1 else 1_000_000
        write_row(cols, args[2] if len(args) > 2 else os.path.join(DATA, f"row-{cols}.txt"))
    else:
        rows = int(args[0]) if args else 1_000_000
        write_rows(rows, args[1] if len(args) > 1 else os.path.join(DATA, f"rows-{rows}.txt"))


if __name__ == "__main__":
    main()
