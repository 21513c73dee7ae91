"""Reads vCards with an independent library and prints what it found as JSON.

Usage: read_vcards.py FILE_OR_URL [USER]
For each card: its FN, UID, the size of its photo in bytes, and every TEL
with the X-ABLabel of its group.
"""
import base64
import json
import sys
import urllib.request

import vobject


def fetch(source, user):
    if not source.startswith("http"):
        with open(source, encoding="utf-8", newline="") as file:
            return file.read()
    request = urllib.request.Request(source)
    if user:
        token = base64.b64encode((user + ":").encode()).decode()
        request.add_header("Authorization", "Basic " + token)
    with urllib.request.urlopen(request) as answer:
        return answer.read().decode("utf-8")


def describe(card):
    labels = {line.group: line.value for line in card.contents.get("x-ablabel", [])}
    photo = card.contents.get("photo")
    return {
        "fn": card.fn.value,
        "uid": card.uid.value if "uid" in card.contents else "",
        "photoBytes": len(photo[0].value) if photo else 0,
        "numbers": [[tel.value, labels.get(tel.group, "")] for tel in card.contents.get("tel", [])],
    }


def main():
    data = fetch(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "")
    print(json.dumps([describe(card) for card in vobject.readComponents(data)], ensure_ascii=False))


main()
