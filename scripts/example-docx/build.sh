#!/usr/bin/env bash
# Zips the Word example's package parts in this folder into a .docx (by default the bundled
# example, data/examples/word/kite-journal.docx). The archive is the same bytes every time: parts
# in a fixed order with [Content_Types].xml first, one fixed date, fixed permissions.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
output="$(realpath -m "${1:-$here/../../data/examples/word/kite-journal.docx}")"

python3 - "$here" "$output" <<'PY'
import sys, zipfile

source, output = sys.argv[1], sys.argv[2]
parts = [
    "[Content_Types].xml",
    "_rels/.rels",
    "docProps/core.xml",
    "docProps/app.xml",
    "word/document.xml",
    "word/styles.xml",
    "word/numbering.xml",
    "word/footnotes.xml",
    "word/endnotes.xml",
    "word/settings.xml",
    "word/fontTable.xml",
    "word/_rels/document.xml.rels",
    "word/media/image1.png",
]
with zipfile.ZipFile(output, "w") as archive:
    for name in parts:
        entry = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(f"{source}/{name}", "rb") as part:
            archive.writestr(entry, part.read(), compresslevel=9)
PY
echo "Wrote $output"
