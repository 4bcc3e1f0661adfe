#!/usr/bin/env python3
"""Compares Paginor's rich text output with LibreOffice's on a folder of real RTF files.

For every *.rtf in the folder: converts it to PDF with LibreOffice (headless) and with
`kpptool rtf`, extracts the words of both with pdftotext, and reports
- words: how many words LibreOffice shows,
- kept: the share of those that appear in ours, counted as multisets (order-free: a word that
  LibreOffice shows three times must appear three times in ours),
- pages: LibreOffice's page count and ours,
- ms: our conversion's wall time.
Not part of the test suite: it needs LibreOffice (`libreoffice-writer-nogui`) and
poppler-utils, and the files are not in the repository.

usage: tools/rtf-corpus-check.py FOLDER [--kpptool build/kpptool] [--work DIR] [--markdown]
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import tempfile
import time
import unicodedata

WORD = re.compile(r"\w+", re.UNICODE)


def words(pdf):
    text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], capture_output=True,
                          text=True, errors="replace").stdout
    # Compatibility forms make ligatures ("\ufb01") the letters they join.
    text = unicodedata.normalize("NFKC", text)
    return collections.Counter(w.lower() for w in WORD.findall(text))


def pages(pdf):
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True,
                          errors="replace").stdout
    m = re.search(r"^Pages:\s+(\d+)", info, re.M)
    return int(m.group(1)) if m else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("folder")
    ap.add_argument("--kpptool", default=os.path.join(os.path.dirname(__file__), "..", "build",
                                                      "kpptool"))
    ap.add_argument("--work", help="where the PDFs go (a temporary folder by default)")
    ap.add_argument("--markdown", action="store_true", help="print a Markdown table")
    args = ap.parse_args()

    files = sorted(f for f in os.listdir(args.folder) if f.lower().endswith(".rtf"))
    if not files:
        sys.exit("no .rtf files in " + args.folder)
    work = args.work or tempfile.mkdtemp(prefix="rtf-corpus-")
    lo_dir, our_dir = os.path.join(work, "lo"), os.path.join(work, "ours")
    os.makedirs(lo_dir, exist_ok=True)
    os.makedirs(our_dir, exist_ok=True)

    # One LibreOffice run for all files: starting it is most of its cost.
    subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", lo_dir] +
                   [os.path.join(args.folder, f) for f in files],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=1800)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    rows = []
    for f in files:
        stem = os.path.splitext(f)[0]
        lo_pdf, our_pdf = os.path.join(lo_dir, stem + ".pdf"), os.path.join(our_dir, stem + ".pdf")
        start = time.monotonic()
        run = subprocess.run([args.kpptool, "rtf", os.path.join(args.folder, f), "-o", our_pdf,
                              "--quiet"], env=env, capture_output=True, timeout=300)
        ms = (time.monotonic() - start) * 1000
        if not os.path.exists(lo_pdf) or run.returncode != 0:
            why = "no PDF from LibreOffice" if run.returncode == 0 else "kpptool failed"
            rows.append((f, None, why, None, None, ms))
            continue
        theirs, ours = words(lo_pdf), words(our_pdf)
        total = sum(theirs.values())
        kept = sum(min(n, ours[w]) for w, n in theirs.items())
        rows.append((f, total, kept / total if total else 1.0, pages(lo_pdf), pages(our_pdf), ms))

    if args.markdown:
        print("| file | words | kept | pages (LO / ours) | ms |")
        print("|---|---:|---:|---:|---:|")
    for f, total, share, lo_pages, our_pages, ms in rows:
        if total is None:
            line = (f, "-", share, "-", "%.0f" % ms)
        else:
            line = (f, str(total), "%.1f %%" % (100 * share), "%d / %d" % (lo_pages, our_pages),
                    "%.0f" % ms)
        print(("| %s | %s | %s | %s | %s |" if args.markdown else "%-40s %7s %8s %9s %6s") % line)
    done = [r for r in rows if r[1] is not None]
    if done:
        shares = sorted(r[2] for r in done)
        print("\n%d files; kept: mean %.1f %%, median %.1f %%, lowest %.1f %%; %d under 95 %%; "
              "page counts within one: %d of %d" %
              (len(done), 100 * sum(shares) / len(shares), 100 * shares[len(shares) // 2],
               100 * shares[0], sum(1 for s in shares if s < 0.95),
               sum(1 for r in done if abs(r[3] - r[4]) <= 1), len(done)))
    return 0 if all(r[2] != "kpptool failed" for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
