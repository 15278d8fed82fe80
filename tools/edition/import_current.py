#!/usr/bin/env python3
"""Imports the current edition of the telephone tables into library/tables/current/.

Run by a developer, never by the build:

    tools/edition/import_current.py SOURCES_DIR [TABLES_DIR]

SOURCES_DIR holds torme-mysite/ (the government's municipality -> MA list, the carriers' MA
list and number bands) and estat-jpcity/ (the local-government code history). TABLES_DIR is
library/tables (default: the one beside this script); the 2003 ma.tsv there supplies the
readings, prefecture numbers and region codes of the MAs that already existed in 2003.

The output is reviewed by people before it is committed, like the 2003 tables: every row
carries a provenance column. Nothing here is read by the build; meklan-gen reads the TSVs.
"""
import csv
import os
import sys

# MAs named since 2003: reading, and the 2003 MA whose prefecture number and region code
# they take over (a merger or a respelling; the numbers live in the same place).
NEW_NAMES = {
    "佐渡": ("さど", "両津"),
    "天草": ("あまくさ", "本渡"),
    "鹿部": ("しかべ", "南茅部"),
    "赤磐": ("あかいわ", "岡山瀬戸"),
    "加茂川": ("かもがわ", "福渡"),
    "竜ケ崎": ("りゅうがさき", "竜ヶ崎"),
    "鰺ケ沢": ("あじがさわ", "鯵ヶ沢"),
}

# The list predates the 2024-01-01 reorganisation of 浜松市's wards. Every old ward is served
# by one MA in the list, so each new ward takes the MA of the old wards its towns came from
# (the towns as the code history's event texts name them).
HAMAMATSU_WARDS = [
    ("22138", "浜松市中央区", ["22131", "22132", "22133", "22134", "22135"]),
    ("22139", "浜松市浜名区", ["22135", "22136"]),
    ("22140", "浜松市天竜区", ["22137"]),
]

# Towns that a published wording writes differently from the postal file: applied by the
# generator when it turns wordings into town records. A postal name ending in "*" stands for
# the towns written under it ("浪岡" -> "浪岡相沢", ...); one ending in "?" for an unnamed part
# of that town (the postal file lists it as one row, so the row gets every MA of the town);
# "-" for a town the postal file does not list (an address there takes the catch-all row).
# Letters written two ways (ヶ/ケ, 館/舘, 澤/沢, 團/団) need no row: library/tables/
# letter_variants.tsv folds them in the join.
TOWN_CORRECTIONS = [
    ("32205", "湯泉津町", "温泉津町", "大田市: the list writes 湯泉津町; the town is 温泉津町"),
    ("28204", "生瀬町東町", "生瀬東町", "西宮市: the list writes 生瀬町東町; the postal file writes 生瀬東町"),
    ("02201", "浪岡", "浪岡*", "青森市: 浪岡 is the former town; the postal file writes 浪岡相沢, 浪岡浪岡, ..."),
    ("21203", "奥飛騨温泉郷", "奥飛騨温泉郷*", "高山市: the postal file writes 奥飛騨温泉郷平湯, ..."),
    ("22205", "泉元宮上分", "泉?", "熱海市: the postal file has one row 泉"),
    ("22205", "泉元宮下分", "泉?", "熱海市: the postal file has one row 泉"),
    ("22205", "泉元門川分", "泉?", "熱海市: the postal file has one row 泉"),
    ("01484", "焼尻白浜", "焼尻?", "羽幌町: the postal file has one row 焼尻"),
    ("01484", "焼尻西浦", "焼尻?", "羽幌町: the postal file has one row 焼尻"),
    ("01484", "焼尻東浜", "焼尻?", "羽幌町: the postal file has one row 焼尻"),
    ("01484", "焼尻緑ヶ丘", "焼尻?", "羽幌町: the postal file has one row 焼尻"),
    ("15213", "長所乙", "長所", "燕市: both halves stand in the same parts; the postal file has one row 長所"),
    ("15213", "長所甲", "長所", "燕市: both halves stand in the same parts; the postal file has one row 長所"),
    ("15213", "物流センタ－", "物流センター", "燕市: the list writes a minus sign for the long vowel mark"),
    ("26109", "醍醐三ノ切町", "醍醐三ノ切", "京都市伏見区: the postal file writes 醍醐三ノ切"),
    ("27121", "東住吉区矢田", "矢田", "大阪市東住吉区: the wording names the ward; the postal file does not"),
    ("27126", "平野区長吉川辺", "長吉川辺", "大阪市平野区: the wording names the ward; the postal file does not"),
    ("35215", "熊毛中央", "熊毛中央町", "周南市: the postal file writes 熊毛中央町"),
    ("35215", "清光台", "清光台町", "周南市: the postal file writes 清光台町 (新清光台 is another town)"),
] + [(code, town, "-", f"{city}: KEN_ALL lists no {town}; an address there takes the catch-all row")
      for code, city, towns in [
          ("01346", "八雲町", ["熊石泉岱町"]),
          ("01564", "大空町", ["東藻琴清浦", "東藻琴栄"]),
          ("08229", "稲敷市", ["今", "佐原", "野間谷原", "阿波崎新田", "下須田新田", "神崎神宿", "神崎新宿"]),
          ("08230", "かすみがうら市", ["一の瀬", "一の瀬上流"]),
          ("15108", "新潟市西蒲区", ["六部"]),
          ("15210", "十日町市", ["荒瀬", "松山新田"]),
      ] for town in towns]

DATA_DATE = "2026/02/10"  # the list's last change in the source repository


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def read_tsv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def write_tsv(path, header, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\t".join(header) + "\n")
        for row in rows:
            for value in row:
                if "\t" in str(value) or "\n" in str(value):
                    sys.exit(f"{path}: a field holds a tab or line end: {value!r}")
            f.write("\t".join(str(v) for v in row) + "\n")


def expand_band(start, end):
    """Every digit string of the band (start and end have the same length)."""
    width = len(start)
    return [str(n).zfill(width) for n in range(int(start), int(end) + 1)]


def collapse(numbers):
    """Replaces every complete set of ten siblings by their parent, repeatedly."""
    numbers = set(numbers)
    changed = True
    while changed:
        changed = False
        parents = {n[:-1] for n in numbers if n}
        for p in sorted(parents):
            children = {p + d for d in "0123456789"}
            if children <= numbers:
                numbers -= children
                numbers.add(p)
                changed = True
    return numbers


def prefix_list(code_text, bands):
    """'/*/' when a band is the whole area code, else the local prefixes after it in order."""
    entries = set()
    for start, end in bands:
        for n in expand_band(start, end):
            if not n.startswith(code_text):
                sys.exit(f"band {start}-{end} does not lie under {code_text}")
            entries.add(n[len(code_text):])
    if "" in entries:
        return "/*/"
    entries = collapse(entries)
    if "" in entries:
        return "/*/"
    return "/" + "/".join(sorted(entries, key=lambda e: (e, len(e)))) + "/"


def build_ma(src, old_ma):
    ma_list = read_csv(os.path.join(src, "torme-mysite", "ma_list.csv"))
    bands = read_csv(os.path.join(src, "torme-mysite", "number_bands.csv"))
    old_by_name = {}
    for r in old_ma:
        old_by_name.setdefault(r["maName"], r)
    bands_of = {}
    eliminated = {}
    for b in bands:
        key = (b["ma_name"], b["area_code"])
        bands_of.setdefault(key, []).append((b["band_start"], b["band_end"]))
        if b["eliminate_code"] != "0":
            eliminated.setdefault(key, []).append("0" + b["eliminate_code"])
    records = []       # in the list's order, one per (name, area code)
    compartment = {}   # "main" or "main-sub" -> (name, branch, area code text)
    seen = {}
    branches = {}
    for r in ma_list:
        source_name = r["ma_name"]
        name = source_name.replace("☆", "")  # the site's own mark, not part of the name
        code = r["area_code_digits"]
        key = (source_name, code)
        if key not in seen:
            branch = branches.get(name, 0)
            branches[name] = branch + 1
            seen[key] = branch
            old = old_by_name.get(name)
            provenance, note = "source", ""
            if old is None:
                if name not in NEW_NAMES:
                    sys.exit(f"MA {name} is new since 2003: add its reading to NEW_NAMES")
                kana, heir_of = NEW_NAMES[name]
                old = dict(old_by_name[heir_of], maKana=kana)
                provenance = "added"
                note = f"named since 2003; reading added; prefNo and regionCode of {heir_of}"
            code_text = "0" + code
            plist = prefix_list(code_text, bands_of[key])
            if key in eliminated:
                note = (note + "; " if note else "") + "the source excepts " + ", ".join(eliminated[key]) + " from a band"
            # A local prefix is at most three digits in the record layout: a longer one
            # stands in a record of its own under the longer code, as 01337 does in 2003.
            entries = plist.strip("/").split("/")
            long_entries = [e for e in entries if len(e) > 3]
            codes = [(code_text, plist)]
            if long_entries:
                short = [e for e in entries if len(e) <= 3]
                codes = [(code_text, "/" + "/".join(short) + "/")]
                codes += [(code_text + e[:-2], "/" + e[-2:] + "/") for e in long_entries]
            for n, (text, entries_text) in enumerate(codes):
                if n > 0:
                    branch = branches[name]
                    branches[name] = branch + 1
                records.append({
                    "maName": name, "branch": branch, "maKana": old["maKana"],
                    "posNS": r["pos_ns"], "posEW": r["pos_ew"], "areaCode": text,
                    "prefixList": entries_text, "prefNo": old["prefNo"], "regionCode": old["regionCode"],
                    "provenance": provenance, "note": note if n == 0 else "a local prefix of four digits, written under the longer code",
                })
            branch = seen[key]
        label = r["code_main"] + ("-" + r["code_sub"] if r["code_sub"] else "")
        compartment[label] = (name, seen[key], "0" + code)
    # One name's records stand together, as the library's scans expect.
    order = []
    for rec in records:
        if rec["maName"] not in order:
            order.append(rec["maName"])
    records.sort(key=lambda rec: (order.index(rec["maName"]), rec["branch"]))
    return records, compartment


def city_name(r):
    county = r["county_name"] + r["county_type"] if r["county_name"] else ""
    return county + r["city_name"] + r["city_type"]


def build_address(src, compartment):
    rows = read_csv(os.path.join(src, "torme-mysite", "city_ma.csv"))
    out = []
    skipped = []
    by_code = {}
    for r in rows:
        code = r["dantai_code"]
        if r["compartment_code"] == "-":
            skipped.append(f"{code} {r['city_name']}{r['city_type']}: no MA in the list")
            continue
        if not r["city_name"]:
            continue  # a designated city's own row: its wards carry the areas
        name, branch, code_text = compartment[r["compartment_code"]]
        rec = {
            "dantaiCode": code, "part": r["distinct"], "maName": name, "branch": branch,
            "areaCode": code_text, "prefName": r["pref"], "cityName": city_name(r),
            "wording": r["zone_name"], "provenance": "source", "note": "",
        }
        by_code.setdefault(code, []).append(rec)
        out.append(rec)
    # 浜松市's wards of 2024.
    old_codes = {c for _, _, olds in HAMAMATSU_WARDS for c in olds}
    out = [rec for rec in out if rec["dantaiCode"] not in old_codes]
    for code, name, olds in HAMAMATSU_WARDS:
        served = {(rec["maName"], rec["branch"], rec["areaCode"]) for old in olds for rec in by_code[old]}
        parts = [rec for old in olds for rec in by_code[old] if rec["wording"]]
        if len(served) != 1 or parts:
            sys.exit(f"{code}: its old wards are not served by one MA; map them town by town")
        ma, branch, code_text = served.pop()
        out.append({
            "dantaiCode": code, "part": "1", "maName": ma, "branch": branch, "areaCode": code_text,
            "prefName": "静岡県", "cityName": name, "wording": "", "provenance": "derived",
            "note": "ward of 2024-01-01; its towns came from " + ", ".join(olds) + ", all served by " + ma,
        })
    out.sort(key=lambda rec: (rec["dantaiCode"], int(rec["part"])))
    return out, skipped


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    src = argv[1]
    tables = argv[2] if len(argv) == 3 else os.path.join(os.path.dirname(__file__), "..", "..", "library", "tables")
    old_ma = read_tsv(os.path.join(tables, "ma.tsv"))
    ma, compartment = build_ma(src, old_ma)
    address, skipped = build_address(src, compartment)
    out_dir = os.path.join(tables, "current")
    os.makedirs(out_dir, exist_ok=True)
    write_tsv(os.path.join(out_dir, "ma.tsv"),
              ["index", "maName", "branch", "maKana", "posNS", "posEW", "areaCode", "prefixList",
               "prefNo", "regionCode", "provenance", "note"],
              [[i, r["maName"], r["branch"], r["maKana"], r["posNS"], r["posEW"], r["areaCode"],
                r["prefixList"], r["prefNo"], r["regionCode"], r["provenance"], r["note"]]
               for i, r in enumerate(ma)])
    write_tsv(os.path.join(out_dir, "address.tsv"),
              ["dantaiCode", "part", "maName", "branch", "areaCode", "prefName", "cityName",
               "wording", "provenance", "note"],
              [[r["dantaiCode"], r["part"], r["maName"], r["branch"], r["areaCode"], r["prefName"],
                r["cityName"], r["wording"], r["provenance"], r["note"]] for r in address])
    write_tsv(os.path.join(out_dir, "town_corrections.tsv"),
              ["dantaiCode", "written", "postal", "provenance", "note"],
              [[c, w, p, "derived", n] for c, w, p, n in TOWN_CORRECTIONS])
    write_tsv(os.path.join(out_dir, "edition.tsv"), ["key", "value", "provenance", "note"],
              [["dataDate", DATA_DATE, "source", "last change of the municipality list in the source repository"]])
    print(f"{len(ma)} MA records, {len(address)} address records")
    for s in skipped:
        print("skipped:", s)


if __name__ == "__main__":
    main(sys.argv)
