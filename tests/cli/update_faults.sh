#!/usr/bin/env bash
# The live update against misbehaving servers on 127.0.0.1: every run ends within its
# deadline and says what happened, two runs at once leave a whole rules.xml and tell the
# truth, and only a rule base the program can use is installed.
set -euo pipefail
cli=$1
src=$2
. "$src/tests/support/cli_lib.sh"
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
mkdir -p "$work/prog"
{ printf '<?xml version="1.0"?>\n<rules date="12 31 2026">\n'; head -c 20000 /dev/zero | tr '\0' ' '; printf '\n</rules>\n'; } > "$work/new.xml"
old='<?xml version="1.0"?>
<rules date="01 01 2020"/>'
reset_prog() {
  rm -f "$work"/prog/*
  printf '%s\n' "$old" > "$work/prog/rules.xml"
  touch -d 2020-01-01 "$work/prog/rules.xml"
}
servers=0
# serve FAULT FILE [ARGS...]: starts the fault server (stopped when the test ends); sets url.
serve() {
  local fault=$1 file=$2; shift 2
  servers=$((servers + 1))
  local fifo="$work/server$servers.in"
  mkfifo "$fifo"
  "$python" "$src/tests/support/fault_ftp_server.py" "$file" --fault "$fault" --lifetime 40 "$@" \
    < "$fifo" > "$work/server$servers.port" &
  eval "exec $((servers + 10))> \"$fifo\""
  for _ in $(seq 100); do grep -q PORT "$work/server$servers.port" 2>/dev/null && break; sleep 0.1; done
  url="ftp://127.0.0.1:$(sed -n 's/^PORT //p' "$work/server$servers.port")/allupdates/rules.xml"
}
untouched() {  # WHAT: rules.xml is the old one and nothing was left behind
  [ "$(cat "$work/prog/rules.xml")" = "$old" ] || fail "$1: rules.xml changed"
  ls "$work/prog" | grep -Eq 'new|tmp' && fail "$1: left behind: $(ls "$work/prog")"
  return 0
}

run 10 "$cli" update --url "" --program-dir "$work/prog"
expect_rc "an empty --url" 2
expect_err "an empty --url" "^qxconfig-cli: .*--url"
reset_prog
run 10 "$cli" update --url "ftp:///allupdates/rules.xml" --program-dir "$work/prog"
expect_rc "an address without a server" 2
grep -q Connecting "$work/out" && fail "an address without a server was looked up"
untouched "an address without a server"

# A server that sends 2 bytes a second is given up at the deadline, naming the step.
serve slow "$work/new.xml" --rate 2
reset_prog
run 30 "$cli" update --url "$url" --program-dir "$work/prog" --timeout 3
expect_rc "a 2 bytes/s server" 2
expect_err "a 2 bytes/s server" "timed out.*transfer|transfer.*timed out|did not finish"
untouched "a 2 bytes/s server"

# A server that greets and then says nothing; one that never answers SIZE.
serve silent "$work/new.xml"
reset_prog
run 30 "$cli" update --url "$url" --program-dir "$work/prog" --timeout 3
expect_rc "a silent server" 2
grep -q 'No updates were found' "$work/out" && fail "a silent server is reported as having no updates"
expect_err "a silent server" "did not answer"
untouched "a silent server"
serve silent-size "$work/new.xml"
reset_prog
run 30 "$cli" update --url "$url" --program-dir "$work/prog" --timeout 3
expect_rc "a server that never answers SIZE" 2
expect_err "a server that never answers SIZE" "SIZE"
untouched "a server that never answers SIZE"

# A server that refuses SIZE although the file is there still delivers it.
serve size-550 "$work/new.xml"
reset_prog
run 30 "$cli" update --url "$url" --program-dir "$work/prog"
expect_rc "a server that refuses SIZE" 0
cmp -s "$work/prog/rules.xml" "$work/new.xml" || fail "a server that refuses SIZE: rules.xml not replaced"

# Well-formed but unusable downloads are kept out.
printf '<?xml version="1.0"?>\n<html>\n<body/>\n</html>\n' > "$work/html.xml"
serve none "$work/html.xml"
reset_prog
run 30 "$cli" update --url "$url" --program-dir "$work/prog"
expect_rc "a download that is not a rule base" 2
tail -1 "$work/out" | grep -qx ' XML validation failed, will keep the old rules' || fail "no validation message: $(cat "$work/out")"
expect_err "a download that is not a rule base" "rules"
untouched "a download that is not a rule base"
cmp -s "$work/prog/rules.corrupt.xml" "$work/html.xml" || fail "the rejected download is not kept as rules.corrupt.xml"

# Two updates at once: both end truthfully and rules.xml is whole.
serve slow "$work/new.xml" --rate 40000
reset_prog
set +e
"$cli" update --url "$url" --program-dir "$work/prog" > "$work/one.out" 2> "$work/one.err" &
first=$!
"$cli" update --url "$url" --program-dir "$work/prog" > "$work/two.out" 2> "$work/two.err"
rc2=$?
wait "$first"
rc1=$?
set -e
[ "$rc1" -eq 0 ] && [ "$rc2" -eq 0 ] || fail "two updates at once: exit $rc1 and $rc2"
cmp -s "$work/prog/rules.xml" "$work/new.xml" || fail "two updates at once corrupted rules.xml"
[ "$(cat "$work/one.out" "$work/two.out" | grep -c ' Rules.xml updated')" -eq 1 ] || fail "two updates at once: $(tail -n1 "$work/one.out" "$work/two.out")"
grep -q ' You already have the latest version' "$work/one.out" "$work/two.out" || fail "the second update did not find the first one's rule base"
ls "$work/prog" | grep -Eq 'new|tmp' && fail "two updates at once left behind: $(ls "$work/prog")"
finish
