#!/usr/bin/env python3
"""Says whether a comma-delimited file holds the rows of a table, each read by Python itself.

Usage: csv_matches_table.py FILE.csv DATABASE TABLE COLUMN[,COLUMN...]

The file (with its header line of "PREFIX:Field" names) is read with the csv module, the
table's columns with sqlite3; integers compare as their decimal text. The rows are compared in
sorted order. Exits 0 when they are equal, 1 (saying the first difference) otherwise.
"""
import csv
import sqlite3
import sys


def main() -> int:
    csv_path, db_path, table, columns = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4].split(",")
    with open(csv_path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    header, body = rows[0], rows[1:]
    names = [h.split(":", 1)[1].lower() for h in header]
    if names != [c.lower() for c in columns]:
        print(f"header {header} does not name {columns}")
        return 1
    db = sqlite3.connect(f"file:{db_path}?mode=ro", uri=True)
    quoted = ", ".join('"' + c + '"' for c in columns)
    stored = [["" if v is None else str(v) for v in r]
              for r in db.execute(f'SELECT {quoted} FROM "{table}"')]
    body.sort()
    stored.sort()
    if body != stored:
        print(f"{len(body)} lines, {len(stored)} rows")
        for a, b in zip(body, stored):
            if a != b:
                for name, x, y in zip(columns, a, b):
                    if x != y:
                        print(f"{name}: file {x[:80]!r}... table {y[:80]!r}...")
                break
        return 1
    print(f"{len(body)} rows equal")
    return 0


if __name__ == "__main__":
    sys.exit(main())
