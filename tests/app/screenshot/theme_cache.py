#!/usr/bin/env python3
"""Fills a program folder's Word.cds and SECache.cds with a cached theme, for a picture of the
window when no engine is at hand. Usage: theme_cache.py FOLDER"""
import random
import sqlite3
import sys

KEYWORD = "garden furniture"
POOL = ["garden furniture", "outdoor furniture", "patio furniture", "teak", "garden chairs",
        "garden tables", "rattan", "sun loungers", "parasols", "garden benches", "bistro sets",
        "hardwood", "aluminium furniture", "cushions", "garden", "furniture", "outdoor living",
        "patio sets", "deck chairs", "hammocks", "garden decor", "furniture covers", "wicker",
        "dining sets", "sale", "free delivery", "conservatory furniture", "swing seats"]
WEIGHTS = [30, 22, 20, 12, 14, 13, 11, 8, 7, 9, 6, 5, 4, 8, 10, 12, 5, 6, 4, 3, 4, 3, 5, 7, 2,
           3, 2, 2]
SITES = ["www.gardenhaven.example", "teakandtimber.example", "www.patio-world.example",
         "outdoorliving.example", "www.sunroom-direct.example", "rattanhouse.example",
         "www.benchmakers.example", "greenfingers-shop.example", "www.deckandgarden.example",
         "lounge-outdoors.example", "www.bistroyard.example", "hardwoodhome.example"]
ENGINES = ["AltaVista", "All The Web", "Google", "MSN", "Teoma"]


def main(folder):
    rng = random.Random(7)
    rows = []
    for engine in ENGINES:
        for rank in range(1, 9):
            site = rng.choice(SITES)
            slug = rng.choice(["", "garden-furniture/", "outdoor/", "shop/patio/", "range/teak-sets.html"])
            count = rng.randint(4, 14)
            chosen = []
            while len(chosen) < count:
                k = rng.choices(POOL, WEIGHTS)[0]
                if k not in chosen:
                    chosen.append(k)
            rows.append((KEYWORD, engine, rank, "http://%s/%s" % (site, slug), ", ".join(chosen)))
    with sqlite3.connect(folder + "/SECache.cds") as db:
        db.execute('CREATE TABLE IF NOT EXISTS "SECache" ("word" TEXT, "SENAME" TEXT, "Rank" INTEGER, "url" TEXT, "Keywords" TEXT)')
        db.execute('DELETE FROM "SECache"')
        db.executemany('INSERT INTO "SECache" VALUES (?, ?, ?, ?, ?)', rows)
    with sqlite3.connect(folder + "/Word.cds") as db:
        db.execute('CREATE TABLE IF NOT EXISTS "Word" ("word" TEXT)')
        db.execute('DELETE FROM "Word"')
        db.executemany('INSERT INTO "Word" VALUES (?)',
                       [(KEYWORD,), ("patio heaters",), ("teak benches",)])


if __name__ == "__main__":
    main(sys.argv[1])
