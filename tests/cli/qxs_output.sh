#!/usr/bin/env bash
# qxs: the command file on stdout or in a file (same bytes), title on stderr, CR LF lines.
set -euo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample="$src/examples/FS1-CONFIG.TXT"
cat > "$work/rules.xml" <<'XML'
<?xml version="1.0"?>
<rules date="01 02 2026">
  <productgroup name="G">
    <setparams name="SET">
      <set-param><name>Maximum Packet Receive Buffers</name><value>1000</value><type>2</type></set-param>
      <set-param><name>Bindery Context</name><value></value></set-param>
    </setparams>
  </productgroup>
  <setparams><set-param><name>Never</name><value>1</value><type>2</type></set-param></setparams>
</rules>
XML
# Our own labels, so the location headings do not depend on the shipped table.
cat > "$work/menu.xml" <<'XML'
<?xml version="1.0" encoding="ISO-8859-1"?>
<language><rules english="Rules"/><productgroup english="Group"/><setparams english="SET Parameters"/></language>
XML

"$cli" qxs "$sample" --rules "$work/rules.xml" --menu "$work/menu.xml" > "$work/out.qxs" 2> "$work/title"
grep -qx 'FS1.qxs' "$work/title"
printf '# RPK \r\n\r\n\r\n# -> Rules -> Group -> SET Parameters \r\n\r\nSET Bindery Context =  \r\n' > "$work/expected"
printf '\r\n# public \r\n\r\n\r\n# -> Rules -> Group -> SET Parameters \r\n\r\nSET Maximum Packet Receive Buffers = 1000 \r\n' >> "$work/expected"
cmp "$work/out.qxs" "$work/expected"

"$cli" qxs "$sample" --rules "$work/rules.xml" --menu "$work/menu.xml" --required -o "$work/file.qxs" 2> /dev/null
printf '\r\n# public \r\n\r\n\r\n# -> Rules -> Group -> SET Parameters \r\n\r\nSET Maximum Packet Receive Buffers = 1000 \r\n' > "$work/expected2"
cmp "$work/file.qxs" "$work/expected2"

# A failed write reports failure and leaves no file behind.
if "$cli" qxs "$sample" --rules "$work/rules.xml" -o "$work/missing/dir/x.qxs" 2> /dev/null; then
  echo "write into a missing folder reported success"; exit 1
fi
