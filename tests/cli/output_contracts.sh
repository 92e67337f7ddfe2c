#!/usr/bin/env bash
# What programs read: every --format json object valid against docs/qxconfig-1.schema.json
# (and readable by jq), the SARIF and JUnit shapes CI services read, one JUnit failure per Bad
# finding.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
rules=(--rules "$src/resources/rules.xml")
fs1="$src/examples/FS1-CONFIG.TXT"
fs2="$src/examples/FS2-CONFIG.TXT"

# Every kind of object: reports, a saved tree, a truncated report, a file that does not open.
"$cli" save-xml "${rules[@]}" "$fs1" "$work/fs1.xml"
head -n 200 "$fs2" > "$work/CUT.TXT"
set +e
"$cli" analyze "${rules[@]}" --format json "$fs1" "$fs2" "$work/fs1.xml" "$work/CUT.TXT" "$work/missing.TXT" \
  > "$work/analyze.jsonl" 2> /dev/null
rc=$?
set -e
[ $rc -eq 2 ] || fail "a missing file among reports: exit $rc"
"$cli" report "${rules[@]}" "$fs1" --format json > "$work/report.json"
"$cli" report "${rules[@]}" "$fs1" --node check --format json > "$work/check.json"
"$cli" report "${rules[@]}" "$fs1" --node volumes --format json > "$work/volumes.json"
"$cli" compare "${rules[@]}" "$fs1" "$fs2" --format json > "$work/compare.json"
for f in "$work"/*.json "$work/analyze.jsonl"; do
  jq -e '.schema == "qxconfig/1"' "$f" > /dev/null || fail "jq cannot read $f"
done
python3 - "$src/docs/qxconfig-1.schema.json" "$work" <<'PY' || fail "schema"
import glob, json, sys
import jsonschema
schema = json.load(open(sys.argv[1]))
validator = jsonschema.Draft7Validator(schema)
objects = [json.loads(l) for l in open(sys.argv[2] + "/analyze.jsonl")]
assert [o["type"] for o in objects] == ["report"] * 4 + ["error"], [o["type"] for o in objects]
assert objects[3]["truncated"] and not objects[0]["truncated"]
assert all(f["source"]["line"] is None for f in objects[2]["findings"])
objects += [json.load(open(f)) for f in sorted(glob.glob(sys.argv[2] + "/*.json"))]
for o in objects:
    errors = sorted(validator.iter_errors(o), key=lambda e: list(e.path))
    assert not errors, (o.get("type"), o.get("file"), [(list(e.path), e.message) for e in errors[:3]])
# The rule base's explanations reach the findings.
findings = [f for o in objects if o["type"] == "report" for f in o["findings"]]
assert any(f["rule"] and f["rule"]["description"] for f in findings), "no description"
assert all(f["rule"]["url"] for f in findings if f["rule"] and f["rule"]["kdn"])
PY

# SARIF 2.1.0 as code-scanning services read it.
"$cli" analyze "${rules[@]}" --format sarif "$fs1" "$fs2" -o "$work/out.sarif"
"$cli" analyze "${rules[@]}" --format json "$fs1" "$fs2" > "$work/both.jsonl"
python3 - "$work/out.sarif" "$work/both.jsonl" <<'PY' || fail "SARIF shape"
import json, sys, urllib.parse
d = json.load(open(sys.argv[1]))
reports = [json.loads(l) for l in open(sys.argv[2])]
assert d["version"] == "2.1.0" and d["$schema"].startswith("https://") and len(d["runs"]) == 1
driver = d["runs"][0]["tool"]["driver"]
assert driver["name"] == "qxconfig-cli" and driver["version"]
ids = [r["id"] for r in driver["rules"]]
assert len(ids) == len(set(ids)) and ids
for r in driver["rules"]:
    assert r["shortDescription"]["text"], r
    assert "helpUri" not in r or r["helpUri"].startswith("http"), r
assert any("helpUri" in r for r in driver["rules"])
results = d["runs"][0]["results"]
levels = {"bad": "error"}
wanted = [(r["file"], f) for r in reports for f in r["findings"] if f["mark"] in levels]
assert len(results) >= len(wanted) and wanted, (len(results), len(wanted))
for res in results:
    assert res["ruleId"] in ids and res["level"] in ("error", "warning", "note", "none"), res
    assert res["message"]["text"]
    loc = res["locations"][0]["physicalLocation"]
    assert loc["artifactLocation"]["uri"] and loc["region"]["startLine"] >= 1, loc
bad = sorted((file, f["rule"]["key"], f["source"]["line"]) for file, f in wanted)
def path(uri):  # absolute paths are file: URIs, relative ones stay relative references
    return urllib.parse.unquote(uri[len("file://"):] if uri.startswith("file://") else uri)
got = sorted((path(r["locations"][0]["physicalLocation"]["artifactLocation"]["uri"]), r["ruleId"],
              r["locations"][0]["physicalLocation"]["region"]["startLine"]) for r in results if r["level"] == "error")
assert bad == got, (bad, got)
PY

# JUnit: xmllint parses it; one suite per report, one failure per Bad finding.
"$cli" analyze "${rules[@]}" --format junit "$fs1" "$fs2" > "$work/junit.xml"
xmllint --noout "$work/junit.xml" || fail "xmllint"
python3 - "$work/junit.xml" "$work/both.jsonl" <<'PY' || fail "JUnit shape"
import json, sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
reports = [json.loads(l) for l in open(sys.argv[2])]
assert root.tag == "testsuites"
suites = root.findall("testsuite")
assert [s.get("name") for s in suites] == [r["server"] for r in reports]
for s, r in zip(suites, reports):
    cases = s.findall("testcase")
    assert int(s.get("tests")) == len(cases) and all(c.get("classname") and c.get("name") for c in cases)
    failures = [c.find("failure") for c in cases if c.find("failure") is not None]
    assert int(s.get("failures")) == len(failures) == r["counts"]["bad"], (s.get("name"), len(failures), r["counts"])
    assert all(f.get("message") for f in failures)
    for f in r["findings"]:
        if f["mark"] == "bad" and f["condition"].strip():
            assert any(f["condition"].strip() in x.get("message") and f["value"] in x.get("message") for x in failures), f
assert int(root.get("failures")) == sum(r["counts"]["bad"] for r in reports)
PY
echo ok
