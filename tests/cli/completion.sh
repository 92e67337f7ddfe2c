#!/usr/bin/env bash
# The bash completion that `completion bash` writes offers the subcommands, each one's own
# options, the choices of an option, folders where a folder is asked for, and files.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" completion bash > "$work/completion"
mkdir -p "$work/dir/sub"
touch "$work/dir/report.TXT"
complete_words() {  # WORD... : the completions offered for the last word
  (cd "$work/dir" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _qxconfig_cli
    [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' _ "$work/completion" qxconfig-cli "$@")
}
expect() {  # EXPECTED WORD...
  local want=$1
  shift
  local got
  got=$(complete_words "$@")
  [ "$got" = "$want" ] || { echo "completing '$*': got '$got', expected '$want'"; exit 1; }
}
expect "save-xml scan-modules " s
expect "--fail-on --format " analyze --f
expect "json junit sarif text " analyze --format ""
expect "always auto never " analyse --color ""
expect "--into " scan-modules x --in
expect "sub " scan-modules ""
expect "report.TXT sub " analyze ""
expect "sub " update --program-dir ""
expect "" analyze --jobs ""
bash -n "$work/completion"
echo ok
