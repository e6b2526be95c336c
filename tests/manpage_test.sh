#!/usr/bin/env bash
# The man page and the program's --help cannot drift apart: every option that
# --help lists appears in the page, and the page carries the program's
# version.
#
#   manpage_test.sh PROGRAM PAGE      PAGE: the roff page the build made
set -euo pipefail
program=$1
page=$2

# shellcheck source=options.sh
source "$(dirname "$0")/options.sh"

# The page's text without the roff escapes that may sit inside an option
# (\- for a dash, \fB and \fR for fonts, \c, \& and \%).
pageText() {
  sed -E 's/\\-/-/g; s/\\f[BIRP]//g; s/\\[c&%]//g' "$page"
}

mapfile -t options < <("$program" --help | optionsIn)
printf '%s\n' "${options[@]}" | grep -qx -- --help || {
  echo "manpage_test: no --help among the options found in --help: ${options[*]}"
  exit 1
}

pageOptions=$(pageText | optionsIn)
failed=0
for option in "${options[@]}"; do
  grep -qxF -- "$option" <<<"$pageOptions" || {
    echo "manpage_test: the man page does not mention $option, which 'sorbelin --help' lists"
    failed=1
  }
done

version=$("$program" --version | head -n 1)
grep -qF "\"$version\"" "$page" || {
  echo "manpage_test: the man page's title line does not name '$version'"
  failed=1
}
[ "$failed" = 1 ] || echo "manpage_test: the page names all ${#options[@]} options of --help: ${options[*]}"
exit "$failed"
