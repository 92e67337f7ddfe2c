#!/usr/bin/env bash
# Writes the COMMANDS section of qxconfig-cli.1 (a help2man include) from the `--help` of
# every subcommand, so the man page says exactly what the program says.
set -euo pipefail
cli=$1
echo "[COMMANDS]"
for sub in $("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { name = $1; sub(/,$/, "", name); print name }'); do
  "$cli" "$sub" --help | awk -v sub_name="$sub" '
    function esc(s) { gsub(/\\/, "\\e", s); gsub(/-/, "\\-", s); if (s ~ /^[.\x27]/) s = "\\&" s; return s }
    function entry(names,   n) {
      n = index(names, " ")
      if (n == 0) return "\\fB" esc(names) "\\fR"
      return "\\fB" esc(substr(names, 1, n - 1)) "\\fR " esc(substr(names, n + 1))
    }
    NR == 1 { print ".SS \"" sub_name "\""; print esc($0); next }
    NR == 2 { u = $0; sub(/^Usage: [^ ]+ [^ ]+ ?/, "", u); print ".PP"; print "\\fBqxconfig\\-cli " esc(sub_name) "\\fR " esc(u); next }
    /^(Positionals|Options):$/ { section = 1; next }
    !section || /^$/ { next }
    /^  [^ ]/ {
      line = substr($0, 3)
      names = line; text = ""
      if (match(line, /   +/)) { names = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH) }
      # Every subcommand has these two; the OPTIONS section lists them once.
      skip = (names == "-h,--help" || names == "--help-all")
      if (!skip) { print ".TP"; print entry(names); if (text != "") print esc(text) }
      next
    }
    /^    +/ { if (!skip) { t = $0; sub(/^ +/, "", t); print esc(t) } }
  '
done
