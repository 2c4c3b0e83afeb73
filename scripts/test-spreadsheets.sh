#!/usr/bin/env bash
# The review files as the office opens them: hostile cells (formulas, leading zeros, tabs, line
# breaks, umlauts, a text too long for a workbook cell, empty text and NULL) are stored in a
# Datenpool, exported as CSV, JSON Lines and workbook, and a sample's report is written as JSON
# Lines and workbook. jq reads the JSON Lines back (types, values, sorting by id); LibreOffice
# Calc opens the workbooks and the CSV file in one run and writes every cell back out; each
# cell is then compared with what the Datenpool holds.
# Usage: scripts/test-spreadsheets.sh [CLI]   (default: build/debug/anschriftenwandler-cli)
set -Eeuo pipefail
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/debug/anschriftenwandler-cli}")
command -v soffice >/dev/null && command -v jq >/dev/null ||
  { echo "soffice or jq is missing: run scripts/install-deps.sh all" >&2; exit 1; }

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
pool=$work/pool.sqlite
"$cli" init-db "$pool" >/dev/null 2>&1

# Rows 1 to 13 (so that sorting by id as text would put 10 before 2), each with a hostile
# nachname; row 8 with the leading zeros of a telephone, account, bank code and postal code.
python3 - "$pool" <<'PY'
import sqlite3, sys
hostile = ["=1+1", '=HYPERLINK("x";"y")', "+1", "-1", "@SUM(A1)", "\tTab vorn", "\rCR vorn",
           "Zeile 1\nZeile 2", "Müßig, Ärger; \"Öl\"", "a\r\nb", "x" * 39000 + "ä" * 1000, "", None]
db = sqlite3.connect(sys.argv[1])
for number, name in enumerate(hostile, start=1):
    db.execute("INSERT INTO AdressenImport (fremdid, nachname, vorname, Geburtstag) VALUES (?, ?, ?, ?)",
               (number + 0.5 if number == 3 else number, name, "-" if number == 4 else None, "1970-01-31"))
db.execute("UPDATE AdressenImport SET telefon1 = '0123', KontoNummer = '0012345678', Bankleitzahl = '01234567', "
           "Postfach = '01067' WHERE id = 8")
db.commit()
PY

for format in csv jsonl xlsx; do
  "$cli" export --db "$pool" --output "$work/export.$format" >/dev/null 2>&1
done
# A workbook cannot go to stdout: refused as bad usage.
status=0
"$cli" export --db "$pool" --format xlsx >/dev/null 2>"$work/refused.txt" || status=$?
[ "$status" -eq 2 ] || { echo "export --format xlsx to stdout ended with $status, expected 2" >&2; exit 1; }

# JSON Lines: numbers as numbers, NULL as null, texts as they are stored.
jq -s -e 'map(.id) == [range(1; 14)]' "$work/export.jsonl" >/dev/null ||
  { echo "export.jsonl: id is no number in order" >&2; exit 1; }
jq -s -e 'sort_by(.id) | map(.id) | .[1] == 2' "$work/export.jsonl" >/dev/null ||
  { echo "export.jsonl: ids do not sort as numbers" >&2; exit 1; }
jq -s -e '(map(select(.id > 10)) | length) == 3' "$work/export.jsonl" >/dev/null ||
  { echo "export.jsonl: id > 10 does not select three rows" >&2; exit 1; }
python3 - "$pool" "$work/export.jsonl" <<'PY'
import json, sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.row_factory = sqlite3.Row
rows = [dict(r) for r in db.execute("SELECT * FROM AdressenImport ORDER BY id")]
lines = [json.loads(l) for l in open(sys.argv[2], encoding="utf-8")]
kind = lambda v: "number" if isinstance(v, (int, float)) else type(v).__name__
differences = [(r["id"], k, r[k], l[k]) for r, l in zip(rows, lines) for k in r if r[k] != l[k] or kind(r[k]) != kind(l[k])]
if len(rows) != len(lines) or differences:
    sys.exit(f"export.jsonl differs from the Datenpool: {len(lines)} of {len(rows)} rows, {differences[:5]}")
PY

# A report of the sample in JSON Lines and as a workbook.
cp -r samples/ADR "$work/ADR"
for format in jsonl xlsx; do
  "$cli" convert --adr "$work/ADR" --db "$work/report.sqlite" --report "$work/report.$format" >/dev/null 2>&1
done
jq -s -e 'length > 0 and all(.[]; (.Zeile | type) == "number" and (.ID | type) == "number"
          and (.Adressnummer | type) == "number" and .Ergebnis == "gespeichert")' "$work/report.jsonl" >/dev/null ||
  { echo "report.jsonl: Zeile, ID or Adressnummer no number, or an Ergebnis other than gespeichert" >&2; exit 1; }

# Every cell back through LibreOffice Calc, each sheet written out as CSV with every text cell
# quoted. Two runs: the import options of the CSV file (every column text) would be used for the
# workbooks as well, which LibreOffice then cannot load. A profile of its own, so that parallel
# runs do not share one; the second run finds it made and starts quickly.
calc() {  # infilter files...
  local infilter=$1
  shift
  (cd "$work" && timeout 300 soffice -env:UserInstallation="file://$work/profile" --headless ${infilter:+"--infilter=$infilter"} \
    --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,false,false,false,false,-1' \
    --outdir "$work/back" "$@" >/dev/null 2>&1)
}
calc "" export.xlsx report.xlsx
text_columns=$(seq 1 40 | sed 's,$,/2,' | paste -sd/)
calc "Text - txt - csv (StarCalc):59,34,76,1,$text_columns" export.csv

python3 - "$pool" "$work/report.sqlite" "$work/back" "$work" <<'PY'
import os, re, sqlite3, sys, zipfile

LIMIT = 32767  # characters of a workbook cell

def fields(path):
    """The rows of a CSV file, each cell as (text, quoted): LibreOffice quotes text cells only."""
    data = open(path, encoding="utf-8").read()
    rows, row, cell, quoted, inside, i = [], [], "", False, False, 0
    while i < len(data):
        c = data[i]
        if inside:
            if c == '"' and data[i + 1:i + 2] == '"':
                cell += '"'; i += 1
            elif c == '"':
                inside = False
            else:
                cell += c
        elif c == '"':
            inside = quoted = True
        elif c == ",":
            row.append((cell, quoted)); cell, quoted = "", False
        elif c == "\n":
            row.append((cell, quoted)); rows.append(row); row, cell, quoted = [], "", False
        else:
            cell += c
        i += 1
    return rows

def text_of(value):
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    # Calc keeps a line break as LF alone, whatever the file holds.
    return "" if value is None else str(value).replace("\r\n", "\n").replace("\r", "\n")

def numbers_in(workbook):
    """The cells of a workbook's first sheet that are numbers (no type of their own), as (row, column)."""
    xml = zipfile.ZipFile(workbook).read("xl/worksheets/sheet1.xml").decode("utf-8")
    cells = set()
    for letters, row, attributes in re.findall(r'<c r="([A-Z]+)([0-9]+)"([^>]*)>', xml):
        if ' t="' not in attributes:
            column = 0
            for letter in letters:
                column = column * 26 + ord(letter) - 64
            cells.add((int(row) - 1, column - 1))
    return cells

def cut(text):
    units, out = 0, []
    for ch in text:
        units += 2 if ord(ch) > 0xFFFF else 1
        if units > LIMIT:
            break
        out.append(ch)
    return "".join(out)

def formula_like(text):
    return text[:1] in ("=", "+", "-", "@", "\t", "\r")

db = sqlite3.connect(sys.argv[1])
cursor = db.execute("SELECT * FROM AdressenImport ORDER BY id")
columns = [d[0] for d in cursor.description]
rows = cursor.fetchall()
back = sys.argv[3]
differences = []

# The workbook: number cells where the Datenpool holds numbers, every other cell equal (a long
# text cut at the limit), NULL empty.
sheet = fields(os.path.join(back, "export-AdressenImport.csv"))
numbers = numbers_in(os.path.join(sys.argv[4], "export.xlsx"))
if [c for c, _ in sheet[0]] != columns or len(sheet) != len(rows) + 1:
    differences.append(("export.xlsx", "shape", len(sheet), [c for c, _ in sheet[0]]))
for r, (row, cells) in enumerate(zip(rows, sheet[1:]), start=1):
    for c, (name, value, (text, _)) in enumerate(zip(columns, row, cells)):
        if text != cut(text_of(value)) or ((r, c) in numbers) != isinstance(value, (int, float)):
            differences.append(("export.xlsx", row[0], name, repr(value)[:60], repr(text)[:60]))

# The CSV file, read as text: equal, a formula-like text behind its apostrophe.
sheet = fields(os.path.join(back, "export-export.csv"))
for row, cells in zip(rows, sheet[1:]):
    for name, value, (text, _) in zip(columns, row, cells):
        expected = text_of(value)
        if isinstance(value, str) and formula_like(value):
            expected = "'" + expected
        if text != expected:
            differences.append(("export.csv", row[0], name, repr(value)[:60], repr(text)[:60]))

# The report's workbook: Zeile, Adressnummer and ID numbers, the counts on their own sheet.
report = sqlite3.connect(sys.argv[2])
ids = [r[0] for r in report.execute("SELECT id FROM AdressenImport ORDER BY id")]
sheet = fields(os.path.join(back, "report-Bericht.csv"))
header = [c for c, _ in sheet[0]]
numbers = numbers_in(os.path.join(sys.argv[4], "report.xlsx"))
for r, cells in enumerate(sheet[1:], start=1):
    if any((r, header.index(k)) not in numbers for k in ("Zeile", "Adressnummer", "ID")) or cells[3][0] != "gespeichert":
        differences.append(("report.xlsx", cells))
if sorted(int(c[header.index("ID")][0]) for c in sheet[1:]) != ids:
    differences.append(("report.xlsx", "IDs", ids))
summary = fields(os.path.join(back, "report-Zusammenfassung.csv"))
if not summary or "Datensätze gelesen" not in summary[0][0][0]:
    differences.append(("report.xlsx", "Zusammenfassung", summary[:1]))
if not any("gekürzt" in cells[0][0] for cells in fields(os.path.join(back, "export-Zusammenfassung.csv"))):
    differences.append(("export.xlsx", "no note of the text cut"))

for d in differences:
    print(*d, file=sys.stderr)
if differences:
    sys.exit(f"{len(differences)} cells differ from the Datenpool")
print(f"Spreadsheets: {len(rows)} hostile rows through CSV, JSON Lines and xlsx, {len(ids)} report rows: no difference",
      file=sys.stderr)
PY
