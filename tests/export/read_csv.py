#!/usr/bin/env python3
"""Prints the rows of each ";"-separated file named as a JSON list of tables, as read by
Python's standard CSV reader."""
import csv
import json
import sys

tables = []
for path in sys.argv[1:]:
    with open(path, newline="", encoding="utf-8-sig") as f:
        tables.append(list(csv.reader(f, delimiter=";")))
json.dump(tables, sys.stdout, ensure_ascii=False)
