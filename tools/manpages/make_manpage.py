#!/usr/bin/env python3
"""Turns a manual page written in a small plain-text form into man(7) markup.

The form: the first line is "NAME SECTION SUMMARY"; "# HEADING" starts a section; ": TERM" starts a tagged
paragraph whose text follows on indented lines; a blank line starts a new paragraph; **bold** and *italic*
mark words inside a line.

    make_manpage.py SOURCE TARGET VERSION
"""
import re
import sys


def inline(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    text = re.sub(r"\*\*(.+?)\*\*", r"\\fB\1\\fR", text)
    text = re.sub(r"\*(.+?)\*", r"\\fI\1\\fR", text)
    # A line that starts with a dot or quote would be read as a request.
    return "\\&" + text if text[:1] in (".", "'") else text


def convert(lines, version):
    name, section, summary = lines[0].split(" ", 2)
    out = [
        f'.TH {name.upper()} {section} "" "orbel {version}" "ORBEL manual"',
        ".SH NAME",
        f"{inline(name)} \\- {inline(summary.strip())}",
    ]
    paragraph_open = False
    for raw in lines[1:]:
        line = raw.rstrip("\n")
        if line.startswith("# "):
            out.append(".SH " + line[2:].strip().upper())
            paragraph_open = False
        elif line.startswith(": "):
            out.append(".TP")
            out.append("\\fB" + inline(line[2:].strip()) + "\\fR")
            paragraph_open = True
        elif not line.strip():
            paragraph_open = False
        else:
            if not paragraph_open and not out[-1].startswith(".SH"):
                out.append(".PP")
            paragraph_open = True
            out.append(inline(line.strip()))
    return "\n".join(out) + "\n"


def main():
    source, target, version = sys.argv[1:4]
    with open(source, encoding="utf-8") as f:
        lines = f.readlines()
    with open(target, "w", encoding="utf-8") as f:
        f.write(convert(lines, version))


if __name__ == "__main__":
    main()
