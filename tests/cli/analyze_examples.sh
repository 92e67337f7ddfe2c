#!/usr/bin/env bash
# The bundled samples against the bundled rule base show every mark the analysis writes.
set -euo pipefail
cli=$1
src=$2
fail() { echo "FAIL: $*"; exit 1; }
for sample in FS1-CONFIG.TXT FS2-CONFIG.TXT; do
  if [ ! -f "$src/examples/$sample" ]; then echo "skipped: the samples are not all present"; exit 0; fi
done
for sample in FS1-CONFIG.TXT FS2-CONFIG.TXT; do
  out=$("$cli" analyze --rules "$src/resources/rules.xml" --format json "$src/examples/$sample")
  printf '%s' "$out" | python3 -c '
import json, sys
r = json.load(sys.stdin)
marks = {f["mark"] for f in r["findings"]}
missing = {"good", "bad", "information", "not_checked"} - marks
assert not missing, ("missing marks", missing)
assert any(p["present"] for p in r["products"]), "no product present"
assert any(not p["present"] for p in r["products"]), "no product absent"
assert not r["truncated"] and not r["warnings"], r["warnings"]
# the module rule whose date cannot be read (shown as Error where rules are evaluated) names a loaded module
assert any(f["kind"] == "module" and f["name"] == "JVM.QXK" for f in r["findings"]), "JVM.QXK not loaded"
' || fail "$sample"
done
grep -q '<date>Build 143</date>' "$src/resources/rules.xml" || fail "no rule with an unreadable date"

# A saved tree has no report lines: its findings name the file and no line.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" save-xml --rules "$src/resources/rules.xml" "$src/examples/FS1-CONFIG.TXT" "$work/fs1.xml"
"$cli" analyze --rules "$src/resources/rules.xml" --format json "$work/fs1.xml" | python3 -c '
import json, sys
r = json.load(sys.stdin)
assert r["findings"] and all(f["source"] == {"file": r["file"], "line": None} for f in r["findings"])
' || fail "saved tree with lines"
echo ok
