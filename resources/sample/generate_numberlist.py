#!/usr/bin/env python3
"""Writes numberlist.json, a sample number list in the list service's format.

The data is synthetic: every company name, number and web address is made up
from word lists below and a fixed random seed, so the file is the same on every
run. Like the real list, one firm calls from many numbers, most items are
approved ("godkjent"), ranks run from 1 to n (some written as digit strings,
a few missing), and text outside ASCII arrives as JSON escapes.

    python3 generate_numberlist.py [--items N] [--seed S] [--output FILE]
"""
import argparse
import json
import random
import unicodedata

TRADES = ["Telefonsalg", "Markedsanalyse", "Meningsmåling", "Direktesalg", "Kundeservice",
          "Forsikringssalg", "Strømsalg", "Abonnementssalg", "Innsamling", "Salgsbyrå"]
PLACES = ["Oslo", "Bergen", "Trondheim", "Stavanger", "Tromsø", "Bodø", "Ålesund", "Drammen",
          "Kristiansand", "Fredrikstad", "Hamar", "Lillehammer", "Molde", "Gjøvik", "Nord", "Vest",
          "Sør", "Midt", "Viken", "Innlandet"]
FORMS = ["AS", "AS", "AS", "ASA", "DA", "ANS"]
CATEGORIES = ["Telefonsalg", "Markedsundersøkelse", "Innsamling", "Forsikring", "Strøm",
              "Abonnement", "Kundeverving"]
APPROVED_SHARE = 0.85
DIGIT_STRING_SHARE = 0.1
MISSING_RANK_SHARE = 0.01


def ascii_slug(text):
    folded = unicodedata.normalize("NFKD", text.replace("æ", "ae").replace("ø", "o").replace("Æ", "Ae").replace("Ø", "O"))
    return "".join(c for c in folded if c.isascii() and (c.isalnum() or c == " ")).lower().replace(" ", "-")


def make_firms(rng, count):
    every_name = sorted({f"{trade} {place} {form}" for trade in TRADES for place in PLACES for form in FORMS})
    return rng.sample(every_name, min(count, len(every_name)))


def make_items(rng, count):
    firms = make_firms(rng, max(1, count // 6))
    numbers = rng.sample(range(20000000, 99999999), count)
    items = []
    for rank, number in enumerate(numbers, start=1):
        firm = rng.choice(firms)
        item = {
            "firma": firm,
            "telefon": str(number),
            "url": f"http://www.{ascii_slug(firm)}.no/",
            "kategori": rng.choice(CATEGORIES),
            "status": "godkjent" if rng.random() < APPROVED_SHARE else "ikke godkjent",
        }
        roll = rng.random()
        if roll >= MISSING_RANK_SHARE:
            item["posisjon"] = str(rank) if roll < MISSING_RANK_SHARE + DIGIT_STRING_SHARE else rank
        items.append(item)
    return items


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--items", type=int, default=8000)
    parser.add_argument("--seed", type=int, default=47)
    parser.add_argument("--output", default="numberlist.json")
    arguments = parser.parse_args()
    items = make_items(random.Random(arguments.seed), arguments.items)
    with open(arguments.output, "w", encoding="ascii") as out:
        out.write('{"telefonnumre":[\n')
        out.write(",\n".join(json.dumps(item, ensure_ascii=True, separators=(",", ":")) for item in items))
        out.write("\n]}\n")


if __name__ == "__main__":
    main()
