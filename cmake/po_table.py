#!/usr/bin/env python3
"""Turns po/LANG.po files into the C++ table quizpack compiles in (message_catalogue.h).

usage: po_table.py OUTPUT.cpp po/fr.po...

An entry that is fuzzy or untranslated is left out: quizpack then shows its English.
"""
import ast
import re
import sys

# The plural rules quizpack knows (messages.cpp's pluralForm), by language code.
PLURAL_FORMS = {"fr": "nplurals=2; plural=(n > 1);"}


def entries(path):
    entry, key, fuzzy = {}, None, False
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n") + [""]
    for number, line in enumerate(lines, 1):
        line = line.strip()
        if not line:
            if "msgid" in entry and not fuzzy:
                yield entry
            entry, key, fuzzy = {}, None, False
        elif line.startswith("#,"):
            fuzzy = fuzzy or "fuzzy" in line
        elif line.startswith("#"):
            continue
        elif line.startswith('"'):
            entry[key] += ast.literal_eval(line)
        else:
            m = re.match(r'(msgctxt|msgid_plural|msgid|msgstr(?:\[\d\])?)\s+(".*")$', line)
            if not m:
                sys.exit(f"{path}:{number}: cannot read {line!r}")
            key = m.group(1)
            entry[key] = ast.literal_eval(m.group(2))


def c_string(text):
    out = '"'
    for byte in text.encode("utf-8"):
        ch = chr(byte)
        if ch == "\\" or ch == '"':
            out += "\\" + ch
        elif ch == "\n":
            out += "\\n"
        elif 32 <= byte < 127 and ch != "?":
            out += ch
        else:
            out += "\\%03o" % byte
    return out + '"'


def table(path):
    code = re.sub(r".*/|\.po$", "", path)
    rows, header = [], ""
    for e in entries(path):
        if e["msgid"] == "":
            header = e.get("msgstr", "")
            continue
        if "msgctxt" in e:
            sys.exit(f"{path}: message contexts are not used: {e['msgid']!r}")
        if "msgid_plural" in e:
            forms = [e.get("msgstr[0]", ""), e.get("msgstr[1]", "")]
        else:
            forms = [e.get("msgstr", ""), None]
        if forms[0]:
            rows.append((e["msgid"].encode("utf-8"), e["msgid"], forms))
    rule = re.search(r"Plural-Forms:\s*([^\n]*)", header)
    if not rule or rule.group(1).strip() != PLURAL_FORMS.get(code):
        sys.exit(f"{path}: Plural-Forms must be {PLURAL_FORMS.get(code)!r}")
    rows.sort(key=lambda r: r[0])
    name = "k_" + code
    out = [f"const CatalogueEntry {name}[] = {{"]
    for _, english, forms in rows:
        plural = c_string(forms[1]) if forms[1] is not None else "nullptr"
        out.append(f"    {{{c_string(english)},\n     {{{c_string(forms[0])}, {plural}}}}},")
    out.append("};")
    return code, name, len(rows), "\n".join(out)


def main():
    output, sources = sys.argv[1], sys.argv[2:]
    parts = ["// Made by cmake/po_table.py from " + ", ".join(sources) + "; do not edit.",
             '#include "quizpack/common/message_catalogue.h"', ""]
    catalogues = []
    for path in sources:
        code, name, count, text = table(path)
        parts += [text, ""]
        catalogues.append(f'    {{"{code}", {name}, {count}}},')
    parts += ["const Catalogue kCatalogues[] = {"] + catalogues + ["};"]
    parts += [f"const size_t kCatalogueCount = {len(catalogues)};", ""]
    text = "\n".join(parts)
    try:
        with open(output, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)


main()
