#!/usr/bin/env bash
# update fetches rules.xml from an FTP server on loopback and replaces the rule base.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
server_pid=
cleanup() {
  exec 3>&- 2>/dev/null || true
  if [ -n "$server_pid" ]; then wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/root/allupdates" "$work/prog"
printf '<?xml version="1.0"?>\n<rules date="12 31 2026"/>\n' > "$work/root/allupdates/rules.xml"
printf '<?xml version="1.0"?>\n<rules date="01 01 2020"/>\n' > "$work/prog/rules.xml"
touch -d '2020-01-01' "$work/prog/rules.xml"
mkfifo "$work/stdin"
# The server stops when we close its standard input (or after 30 s on its own).
"$python" "$src/tests/support/ftp_serve.py" "$work/root" --lifetime 30 < "$work/stdin" > "$work/port" &
server_pid=$!
exec 3> "$work/stdin"
for _ in $(seq 100); do grep -q PORT "$work/port" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/^PORT //p' "$work/port")
[ -n "$port" ] || { echo "FTP server did not start (python3-pyftpdlib missing?)"; exit 1; }
url="ftp://127.0.0.1:$port/allupdates/rules.xml"

"$cli" update --url "$url" --program-dir "$work/prog" > "$work/out"
expected=$(printf ' Connecting 127.0.0.1 ...\n Searching for updates ...\n Retrieving version ...\n Downloading file ...\n Rules.xml updated')
[ "$(cat "$work/out")" = "$expected" ] || { echo "unexpected output:"; cat -A "$work/out"; exit 1; }
cmp -s "$work/prog/rules.xml" "$work/root/allupdates/rules.xml" || { echo "rules.xml not replaced"; exit 1; }
grep -q '01 01 2020' "$work/prog/rules.old.xml" || { echo "rules.old.xml lacks the previous rule base"; exit 1; }
[ ! -e "$work/prog/rules.new.xml" ] || { echo "download left behind"; exit 1; }

"$cli" update --url "$url" --program-dir "$work/prog" | tail -1 | grep -qx ' You already have the latest version'
set +e
"$cli" update --url "ftp://127.0.0.1:$port/allupdates/none.xml" --program-dir "$work/prog" > "$work/out2"
rc=$?
set -e
[ $rc -eq 2 ] || { echo "missing file: exit $rc"; exit 1; }
tail -1 "$work/out2" | grep -qx ' No updates were found'
echo ok
