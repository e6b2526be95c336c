#!/usr/bin/env bash
# The bash completion, sourced into this bash and asked as bash asks it
# (COMP_WORDS, COMP_CWORD), in a scratch folder of melodies, other files and
# folders.
#
#   completion_test.sh COMPLETION PROGRAM
set -uo pipefail
# shellcheck source=options.sh
source "$(dirname "$0")/options.sh"
completion=$(realpath "$1")
program=$(realpath "$2")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/sorbelin-completion-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
mkdir out "my songs"
touch a.mld B.MMF notes.txt "my tune.mld" ./-odd.mld

# shellcheck source=/dev/null
source "$completion"
failed=0

# expect "ONE|TWO|..." WORD...: completing the last word of the command
# line WORD... offers exactly these, in any order.
expect() {
  local wanted=$1 got
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _sorbelin
  got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd '|')
  wanted=$(tr '|' '\n' <<<"$wanted" | LC_ALL=C sort | paste -sd '|')
  if [ "$got" != "$wanted" ]; then
    echo "completion_test: '$*' offers [$got], not [$wanted]"
    failed=1
  fi
}

# The options are the ones --help lists.
helpOptions=$("$program" --help | optionsIn | grep '^-' | paste -sd '|')
expect "$helpOptions" sorbelin -
expect '--vib|--version' sorbelin --v
expect '--in-place|--info' sorbelin -o out.mld --in
expect '--timeline' sorbelin --t
expect '--suggest' sorbelin -q --s

# Channel lists: none, keep, auto, channels 1 to 16, after a comma another
# channel not listed yet, after a dash a channel from the range's first on,
# short of any listed one; also after "=".
expect 'none|keep|auto|1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16' sorbelin --vib ''
expect 'none' sorbelin -l n
expect 'keep' sorbelin --led k
expect 'auto' sorbelin -T --vib a
expect '' sorbelin -v 1,k
expect '' sorbelin -v 2,a
expect '1|10|11|12|13|14|15|16' sorbelin -v 1
expect '3,1|3,10|3,11|3,12|3,13|3,14|3,15|3,16' sorbelin --led 3,1
expect '1,10|1,11|1,12|1,13|1,14|1,15|1,16' sorbelin -v 1,1
expect '1,2|1,3|1,4|1,5|1,6|1,7|1,8|1,9|1,10|1,11|1,12|1,13|1,14|1,15|1,16' sorbelin -v 1,
expect '1,3-5,10|1,3-5,11|1,3-5,12|1,3-5,13|1,3-5,14|1,3-5,15|1,3-5,16' sorbelin -v 1,3-5,1
expect '14,9-9|14,9-10|14,9-11|14,9-12|14,9-13' sorbelin -l 14,9-
expect '' sorbelin -v 2,2-
expect '9-9|9-10|9-11|9-12|9-13|9-14|9-15|9-16' sorbelin -v 9-
expect '1,12-12|1,12-13|1,12-14|1,12-15|1,12-16' sorbelin -l 1,12-1
expect '' sorbelin -v 1,-
expect '' sorbelin -v 17
expect 'none|keep|auto|1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16' sorbelin --vib =
expect 'none' sorbelin --led = no

# The width is a number: nothing to offer.
expect '' sorbelin -T --width ''
expect '' sorbelin -T --width = 8

# Files: melodies and folders as inputs, any file for -o, folders for -d;
# after "--" a word beginning with a dash is a file.
expect 'a.mld|B.MMF|my tune.mld|-odd.mld|out|my songs' sorbelin -q ''
expect 'my tune.mld|my songs' sorbelin -d out my
expect 'a.mld|B.MMF|notes.txt|my tune.mld|-odd.mld|out|my songs' sorbelin -o ''
expect 'a.mld|B.MMF|notes.txt|my tune.mld|-odd.mld|out|my songs' sorbelin --output = ''
expect 'out|my songs' sorbelin -d ''
expect 'out|my songs' sorbelin --dir = ''
expect '-odd.mld' sorbelin -v 2 -- -

registered=$(complete -p sorbelin)
[ "$registered" = "complete -F _sorbelin sorbelin" ] || {
  echo "completion_test: sorbelin completes with [$registered]"
  failed=1
}
[ "$failed" = 1 ] || echo "completion_test: all cases complete as expected"
exit "$failed"
