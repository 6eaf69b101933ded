#!/usr/bin/env python3
"""Writes the seed file of the character table T_MOJICHG (ledger/schema/240_mojichg.sql).

A character's transfer code in a conversion set is its row's SEQNO, so the rows
are numbered once and for all: later versions only append rows, never reorder
or renumber them. The table holds, in this order:

  1. every kanji that CP932 holds, in CP932 code order, with its simplified
     Chinese form (the same character where there is none);
  2. the kana (full-width hiragana and katakana, half-width katakana);
  3. the digits and Latin letters, half- and full-width;
  4. the printable ASCII punctuation and the full-width symbols of CP932's
     first row, mapped to their Chinese counterparts where they differ.

The Chinese forms come from OpenCC (Debian packages opencc, libopencc1.1,
libopencc-data): Japanese new forms to traditional (jp2t), then traditional to
simplified (t2s). The build does not need OpenCC: run this after changing it and
commit the output:
    python3 tools/mojichg/make_mojichg_sql.py [output file]
tests/ledger/tst_mojichg.cpp checks the result in the built database.
"""

import os
import subprocess
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUTPUT = os.path.join(ROOT, "ledger", "schema", "240_mojichg.sql")
MAX_ROWS = 9999  # the transfer code has four digits

# Japanese punctuation whose mainland Chinese form differs.
PUNCTUATION = {
    "「": "“", "」": "”", "『": "‘", "』": "’", "・": "·",
}


def cp932_characters():
    """Every character CP932 holds, once each, in code order."""
    seen = set()
    out = []
    codes = [bytes([b]) for b in range(0x20, 0x7F)] + [bytes([b]) for b in range(0xA1, 0xE0)]
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
        for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
            codes.append(bytes([lead, trail]))
    for code in codes:
        try:
            ch = code.decode("cp932")
        except UnicodeDecodeError:
            continue
        if len(ch) != 1 or ch in seen or unicodedata.category(ch) in ("Cc", "Co", "Cn"):
            continue
        seen.add(ch)
        out.append((code, ch))
    return out


def is_kanji(ch):
    return unicodedata.name(ch, "").startswith(("CJK UNIFIED IDEOGRAPH", "CJK COMPATIBILITY IDEOGRAPH"))


def is_kana(ch):
    name = unicodedata.name(ch, "")
    return name.startswith(("HIRAGANA", "KATAKANA", "HALFWIDTH KATAKANA"))


def is_alnum(ch):
    return unicodedata.normalize("NFKC", ch).isascii() and unicodedata.normalize("NFKC", ch).isalnum()


def is_punctuation(code, ch):
    if len(code) == 1:
        return ch.isascii() and not ch.isalnum()
    return code[0] == 0x81 and unicodedata.category(ch)[0] in "PSZ"


def opencc(chars, config):
    """Converts each character on its own line, so no phrase rule spans two."""
    text = "".join(c + "\n" for c in chars)
    result = subprocess.run(["opencc", "-c", config], input=text.encode("utf-8"),
                            stdout=subprocess.PIPE, check=True).stdout.decode("utf-8")
    lines = result.split("\n")[:len(chars)]
    if len(lines) != len(chars):
        sys.exit("opencc returned %d lines for %d characters" % (len(lines), len(chars)))
    return lines


def chinese_forms(kanji):
    simplified = opencc(opencc(kanji, "jp2t.json"), "t2s.json")
    # A form of several characters (none expected) keeps the character itself.
    return [s if len(s) == 1 else k for k, s in zip(kanji, simplified)]


def sql_text(s):
    return "'" + s.replace("'", "''") + "'"


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else OUTPUT
    chars = cp932_characters()
    kanji = [ch for _, ch in chars if is_kanji(ch)]
    rows = list(zip(kanji, chinese_forms(kanji)))
    rows += [(ch, ch) for _, ch in chars if is_kana(ch)]
    rows += [(ch, ch) for _, ch in chars if is_alnum(ch)]
    taken = {j for j, _ in rows}
    rows += [(ch, PUNCTUATION.get(ch, ch)) for code, ch in chars
             if ch not in taken and is_punctuation(code, ch)]
    if len(rows) > MAX_ROWS:
        sys.exit("%d rows: the transfer code holds at most %d" % (len(rows), MAX_ROWS))
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write("-- Character table of the edition conversion: one row per character, the\n"
                "-- Japanese form and its simplified Chinese form. SEQNO is the transfer code.\n"
                "-- Written by tools/mojichg/make_mojichg_sql.py: change it and run it again\n"
                "-- rather than editing this file. Rows are only ever appended.\n")
        for start in range(0, len(rows), 500):
            chunk = rows[start:start + 500]
            f.write("INSERT INTO T_MOJICHG (SEQNO, JAPANESE, CHINESE) VALUES\n")
            f.write(",\n".join("(%d, %s, %s)" % (start + i + 1, sql_text(j), sql_text(c))
                               for i, (j, c) in enumerate(chunk)))
            f.write(";\n")
    print("%s: %d rows (%d kanji, %d with a different Chinese form)"
          % (output, len(rows), len(kanji), sum(1 for j, c in rows if j != c)))


if __name__ == "__main__":
    main()
