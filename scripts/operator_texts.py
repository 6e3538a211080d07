#!/usr/bin/env python3
"""The operator's texts and their English catalogue (app/translations/qxtools_en.ts).

Every Chinese string literal of QXTools' sources (app/, and the model catalogue
that the library builds descriptions from) is an operator text: the areas' text
constants, and the few data tables (parameter hints, value lists, PLC
catalogues, the model catalogue's words). The program looks texts up by their
exact Chinese source at run time, so the catalogue holds one message per text
in the context "qx".

  operator_texts.py --update   merge the texts into the .ts: new texts come in
                               unfinished, texts that went away are kept as
                               vanished, translations are kept
  operator_texts.py --check    fail unless every text has a finished, sound
                               translation (no Chinese left, the same printf
                               slots in the same order, the same leading and
                               trailing blanks and line ends, the same file
                               filter patterns)
  operator_texts.py --list     print the texts, one per line (escaped)

The .ts sources are the record of the Chinese texts: a text changed in the
code no longer has its entry, and --check says so.
"""

import argparse
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
TS_FILE = ROOT / "app" / "translations" / "qxtools_en.ts"
CONTEXT = "qx"
SCANNED = [ROOT / "app", ROOT / "lib" / "engine" / "model_catalogue.cpp",
           ROOT / "lib" / "engine" / "statistics_record.h"]

# Chinese literals that are not shown to the operator as text.
NOT_TEXTS = {
    # the settings' organisation: a storage key, never shown
    ("app/main.cpp", "应用程序向导生成的本地应用程序"),
    # a font family name
    ("app/plc/plc_page.cpp", "黑体"),
}

CJK = re.compile("[\u2e80-\u9fff\uf900-\ufaff\ufe30-\ufe4f\uff00-\uffef]")
FULL_WIDTH_STOPS = ("：", "，", "；")
PRINTF = re.compile(r"%[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:hh|h|ll|l|z|j|t|L)?[diouxXfFeEgGaAcsp%]")


def source_files():
    for entry in SCANNED:
        if entry.is_file():
            yield entry
        else:
            yield from sorted(p for p in entry.rglob("*") if p.suffix in (".h", ".cpp"))


ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "'": "'", "?": "?", "0": "\0",
           "a": "\a", "b": "\b", "f": "\f", "v": "\v"}


def decode_literal(body):
    """The bytes of a narrow literal's body (UTF-8 source), as text."""
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        e = body[i + 1]
        if e == "x":
            m = re.match(r"[0-9a-fA-F]+", body[i + 2:])
            out.append(int(m.group(0), 16) & 0xFF)
            i += 2 + len(m.group(0))
        elif e in "01234567":
            m = re.match(r"[0-7]{1,3}", body[i + 1:])
            out.append(int(m.group(0), 8) & 0xFF)
            i += 1 + len(m.group(0))
        else:
            out += ESCAPES[e].encode("utf-8")
            i += 2
    return out.decode("utf-8")


def in_number(text, i):
    """Whether the quote at i is a digit separator (1'000), not a character."""
    start = i
    while start > 0 and (text[start - 1].isalnum() or text[start - 1] in "_'."):
        start -= 1
    return start < i and text[start].isdigit()


def literals(text):
    """(line, value) of every string literal, adjacent literals joined."""
    i, n, line = 0, len(text), 1
    pending = None  # [line, value] of a literal that a next one may continue
    found = []

    def flush():
        nonlocal pending
        if pending is not None:
            found.append(tuple(pending))
            pending = None

    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif c.isspace():
            i += 1
        elif text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == "'" and not in_number(text, i):
            j = i + 1
            while text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            flush()
            i = j + 1
        elif c == '"':
            j = i + 1
            while text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            value = decode_literal(text[i + 1:j])
            if pending is None:
                pending = [line, value]
            else:
                pending[1] += value
            i = j + 1
        else:
            # u8"..", L"..": the prefix is part of the token before the quote
            if not (c in "uUL8" and i + 1 < n and text[i + 1] in '"8'):
                flush()
            i += 1
    flush()
    return found


def collect():
    """The operator texts in order of first appearance, each with its files."""
    texts = {}
    for path in source_files():
        rel = path.relative_to(ROOT).as_posix()
        for _line, value in literals(path.read_text(encoding="utf-8")):
            if not CJK.search(value) or (rel, value) in NOT_TEXTS:
                continue
            files = texts.setdefault(value, [])
            if rel not in files:
                files.append(rel)
    return texts


def read_ts():
    """source -> (translation, type) of the catalogue."""
    if not TS_FILE.exists():
        return {}
    entries = {}
    for message in ET.parse(TS_FILE).getroot().iter("message"):
        source = message.findtext("source") or ""
        t = message.find("translation")
        entries[source] = ((t.text or "") if t is not None else "", t.get("type") if t is not None else None)
    return entries


def escape(s):
    s = s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")
    return s.replace("\r", "&#xd;").replace("\t", "&#x9;")


def write_ts(texts, old):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>",
             '<TS version="2.1" language="en_US" sourcelanguage="zh_CN">', "<context>",
             f"    <name>{CONTEXT}</name>"]

    def message(source, files, translation, kind):
        lines.append("    <message>")
        for f in files:
            rel = pathlib.PurePosixPath("../..") / f
            lines.append(f'        <location filename="{escape(rel.as_posix())}"/>')
        lines.append(f"        <source>{escape(source)}</source>")
        attr = f' type="{kind}"' if kind else ""
        lines.append(f"        <translation{attr}>{escape(translation)}</translation>")
        lines.append("    </message>")

    for source, files in texts.items():
        translation, kind = old.get(source, ("", "unfinished"))
        if kind == "vanished" or kind == "obsolete":
            kind = "unfinished"
        if not translation:
            kind = "unfinished"
        message(source, files, translation, kind)
    for source, (translation, _kind) in old.items():
        if source not in texts and translation:
            message(source, [], translation, "vanished")
    lines += ["</context>", "</TS>", ""]
    TS_FILE.parent.mkdir(parents=True, exist_ok=True)
    TS_FILE.write_text("\n".join(lines), encoding="utf-8")


def edge_blanks(s):
    return (s[: len(s) - len(s.lstrip())], s[len(s.rstrip()):])


def problems_of(source, translation):
    found = []
    if CJK.search(translation):
        found.append("Chinese left in the translation")
    if PRINTF.findall(source) != PRINTF.findall(translation):
        found.append(f"printf slots {PRINTF.findall(source)} became {PRINTF.findall(translation)}")
    lead, trail = edge_blanks(translation)
    # after a full-width colon or comma the English one takes its blank along
    if source.endswith(FULL_WIDTH_STOPS) and trail == " " + edge_blanks(source)[1]:
        trail = trail[1:]
    if edge_blanks(source) != (lead, trail):
        found.append("leading or trailing blanks differ")
    if source.count("\n") != translation.count("\n"):
        found.append("a different number of line ends")
    if "||" in source:
        if source.split("|")[1::2] != translation.split("|")[1::2] or source.count("|") != translation.count("|"):
            found.append("file filter patterns differ")
    return found


def check(texts, old):
    failures = []
    for source in texts:
        if source not in old:
            failures.append((source, "no entry in the catalogue (run --update, then translate it)"))
            continue
        translation, kind = old[source]
        if not translation or kind in ("unfinished", "vanished", "obsolete"):
            failures.append((source, "not translated yet"))
            continue
        failures += [(source, p) for p in problems_of(source, translation)]
    for source, message in failures:
        print(f"{TS_FILE.relative_to(ROOT)}: {source!r}: {message}")
    print(f"{len(texts)} operator texts, {len(failures)} problems")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--update", action="store_true")
    mode.add_argument("--check", action="store_true")
    mode.add_argument("--list", action="store_true")
    args = parser.parse_args()
    texts = collect()
    if args.list:
        for source in texts:
            print(source.encode("unicode_escape").decode("ascii") if False else repr(source))
        return 0
    old = read_ts()
    if args.update:
        write_ts(texts, old)
        new = sum(1 for s in texts if s not in old)
        gone = sum(1 for s in old if s not in texts)
        print(f"{len(texts)} operator texts, {new} new, {gone} no longer used")
        return 0
    return check(texts, old)


if __name__ == "__main__":
    sys.exit(main())
