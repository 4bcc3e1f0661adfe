#!/usr/bin/env python3
"""Puts the library's sources into namespace kp and lets the programs on top say
`using namespace kp;`. Safe to run again: wrapped files are left alone."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
LIBRARY = ["platform", "drawing", "printing", "preview", "thumbnails", "content", "richtext",
           "legacy", "selectors"]
CONSUMERS = ["tests", "demo", "tools", "bench", "fuzz", "examples", "designer"]
INCLUDE = re.compile(r'\s*#\s*include\s*[<"]([^>"]+)[>"]')
QT_FORWARD = re.compile(r"(class|struct)\s+Q\w+\s*;")
KP_FORWARD = re.compile(r"(class|struct)\s+\w+\s*;")
LIB_INCLUDE = re.compile(r'\s*#\s*include\s*"(' + "|".join(LIBRARY) + r'|paginor)/')


def code_lines(lines):
    """Indices of lines that are code (not blank, comment or preprocessor)."""
    out, in_block = [], False
    for i, line in enumerate(lines):
        s = line.strip()
        if in_block:
            if "*/" in s:
                in_block = False
            continue
        if not s or s.startswith("//") or s.startswith("#"):
            continue
        if s.startswith("/*"):
            if "*/" not in s:
                in_block = True
            continue
        out.append(i)
    return out


def wrapped(lines):
    # Opened at the top level and closed last; what comes before it stays global on purpose
    # (forward declarations of Qt's classes, the resource registration).
    code = code_lines(lines)
    return bool(code) and "namespace kp {" in (l.rstrip() for l in lines) and \
        lines[code[-1]].rstrip() == "} // namespace kp"


def wrap(path):
    opened_at_depth = False
    lines = path.read_text().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if wrapped(lines) or not code_lines(lines):
        return False
    # Namespaces the file already opens become part of the new one.
    body = []
    for line in lines:
        r = line.rstrip()
        if r in ("namespace kp {", "} // namespace kp"):
            continue
        if r == "namespace kp::rtf {":
            line = "namespace rtf {"
        elif r == "} // namespace kp::rtf":
            line = "} // namespace rtf"
        body.append(line)
    lines = body
    includes = [i for i, l in enumerate(lines)
                if INCLUDE.match(l) and not l.strip().endswith('.moc"')]
    last_include = includes[-1] if includes else -1
    # Never open the namespace inside a conditional block of the includes.
    depth = 0
    for i, l in enumerate(lines):
        s = l.strip()
        if s.startswith("#if"):
            depth += 1
        elif s.startswith("#endif"):
            depth -= 1
            if i > last_include and depth == 0 and opened_at_depth:
                last_include = i
                break
        if i == last_include:
            opened_at_depth = depth > 0
            if not opened_at_depth:
                break
    tail_start = len(lines)
    while tail_start > 0 and (not lines[tail_start - 1].strip() or
                              lines[tail_start - 1].strip().endswith('.moc"')):
        tail_start -= 1
    head, middle, tail = lines[:last_include + 1], lines[last_include + 1:tail_start], \
        lines[tail_start:]
    # Forward declarations of Qt's classes stay outside; the suite's own move inside.
    qt_forward = [l for l in middle if QT_FORWARD.fullmatch(l.strip()) and not l.startswith(" ")]
    middle = [l for l in middle if l not in qt_forward]
    moved = []
    kept_head = []
    for i, l in enumerate(head):
        if i in code_lines(head):
            s = l.strip()
            if QT_FORWARD.fullmatch(s):
                qt_forward.append(l)
            elif KP_FORWARD.fullmatch(s) and not l.startswith(" "):
                moved.append(l)
            else:
                print(f"{path}: code before the last include stays global: {s}", file=sys.stderr)
                kept_head.append(l)
            continue
        kept_head.append(l)
    while middle and not middle[0].strip():
        middle.pop(0)
    while middle and not middle[-1].strip():
        middle.pop()
    out = kept_head
    if qt_forward:
        out += [""] + qt_forward
    out += ["", "namespace kp {", ""]
    if moved:
        out += moved + [""]
    out += middle + ["", "} // namespace kp"]
    tail = [l for l in tail if l.strip()]
    if tail:
        out += [""] + tail
    path.write_text("\n".join(out) + "\n")
    return True


def add_using(path):
    text = path.read_text()
    lines = text.split("\n")
    # The programs' own forward declarations of the suite's classes name them in kp.
    lines = [re.sub(r"^(class|struct) (TKp\w+);$", r"namespace kp { \1 \2; }", l)
             if i == 0 or lines[i - 1].rstrip() != "namespace kp {" else l
             for i, l in enumerate(lines)]
    forward = [i for i, l in enumerate(lines) if l.startswith("namespace kp {")]
    if not any(l.strip() == "using namespace kp;" for l in lines):
        includes = [i for i, l in enumerate(lines)
                    if INCLUDE.match(l) and not l.strip().endswith('.moc"')]
        if any(LIB_INCLUDE.match(lines[i]) for i in includes) or forward:
            at = max(includes[-1] if includes else -1, forward[-1] if forward else -1) + 1
            lines[at:at] = ["", "using namespace kp;"]
    new = "\n".join(lines)
    if new == text:
        return False
    path.write_text(new)
    return True


changed = 0
for folder in LIBRARY:
    for p in sorted((root / folder).glob("**/*")):
        if p.suffix in (".h", ".cpp") and wrap(p):
            print("wrapped", p)
            changed += 1
for folder in CONSUMERS:
    for p in sorted((root / folder).glob("**/*")):
        if p.suffix in (".h", ".cpp") and "/build" not in str(p) and add_using(p):
            changed += 1
print(f"{changed} files changed")
