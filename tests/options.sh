# Sourced by the shell tests: optionsIn prints the options named in the text
# on its input, one a line and each once: -x, --word, and the Windows
# program's /word: and /end. A dash inside a word (i-melody, 9-12) is none.
optionsIn() {
  grep -oE '(^|[^[:alnum:]./-])(--?[[:alpha:]][[:alnum:]-]*|/[[:alpha:]]+:?)' |
    sed -E 's/^[^-/]//' | LC_ALL=C sort -u
}
