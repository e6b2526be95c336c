#!/usr/bin/env bash
# Where the project's own commands write. The test scripts build in folders
# of their own, never in the user's build/ or build-package/ (the folders of
# the README's quick start and Install section); the quick start installs
# and builds just the program; what the README's commands leave in the
# source folder is ignored by git.
#
#   folders_test.sh SOURCE
set -uo pipefail
cd "$1" || exit 1
failed=0
complain() {
  echo "folders_test: $*"
  failed=1
}

# A folder argument of cmake, ctest, the build() helper of scripts/test or
# a variable that names one: the user's folders must not be among them.
user='(build|build-package)(["/[:space:]]|$)'
for script in scripts/test scripts/test-*; do
  found=$(grep -nE "(-B|--test-dir|--check|cmake --install)[[:space:]]+\"?$user|^[[:space:]]*([A-Z]+=[^ ]+ )*build[[:space:]]+\"?$user|^[a-z]+=\"?$user" "$script") &&
    complain "$script writes into the user's folder:"$'\n'"$found"
done

# The quick start: its one command line, the first indented one.
quick=$(grep -m1 -E '^    scripts/setup' README.md)
[[ $quick == "    scripts/setup program && cmake "* ]] ||
  complain "the quick start installs more than the program needs: $quick"
[[ $quick == *"--target sorbelin"* ]] || complain "the quick start builds more than the program: $quick"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  made=$(sed -nE 's/.* -o ([^ ]+).*/\1/p' <<<"$quick")
  site=$(grep -m1 -oE '^    scripts/build-web [^ ]+' README.md | awk '{print $2}')
  for path in "$made" "$site/"; do
    [ "$path" != / ] || complain "no output found in the README's commands"
    git check-ignore -q --no-index "$path" || complain "git does not ignore $path, which the README's commands make"
  done
else
  echo "folders_test: not a git work tree, .gitignore not checked"
fi
[ "$failed" = 1 ] || echo "folders_test: the tests keep to their folders; the README's results are ignored"
exit "$failed"
