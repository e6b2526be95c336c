# Bash completion for sorbelin: its options, the melodies it reads (.mld and
# .mmf files, and folders to find them in), any file for -o, folders for -d,
# channel lists (none, channels 1 to 16, ranges), keep and auto for --vib and --led,
# and nothing for the number of --width.
# Installed as share/bash-completion/completions/sorbelin; to try it without
# installing: source shell/cli/completion.bash

# The options that `sorbelin --help` lists (a test keeps the two alike).
_sorbelin_options='-v --vib -l --led --all-tracks -o --output -d --dir -i --in-place -r --recursive
  -q --quiet -I --info -T --timeline -S --suggest --width --json -h --help --version'

# Prints each completion of the channel list $1: "none", "keep" or "auto",
# which stand alone, or the list so far followed by a channel 1 to 16 that begins
# with what is typed after the last comma or dash and is not in the list yet;
# after a dash, only channels from the range's first one on, and no range
# over a channel already listed.
_sorbelin_channels() {
  local word=$1 part prefix items first=1 n item low high taken=()
  part=${word##*[,-]}
  prefix=${word%"$part"}
  items=${prefix%[,-]}
  if [[ $prefix == *- ]]; then
    first=${items##*,}
    [[ $first =~ ^[0-9]{1,3}$ ]] || return 0
    first=$((10#$first))
    if [[ $items == *,* ]]; then items=${items%,*}; else items=; fi
  fi
  # The channels that the items before the one being typed name.
  for item in ${items//,/ }; do
    [[ $item =~ ^([0-9]{1,3})(-([0-9]{1,3}))?$ ]] || continue
    low=$((10#${BASH_REMATCH[1]}))
    high=$((10#${BASH_REMATCH[3]:-$low}))
    for ((n = low; n <= high && n <= 16; n++)); do taken[n]=1; done
  done
  [[ -z $prefix && none == "$word"* ]] && echo none
  [[ -z $prefix && keep == "$word"* ]] && echo keep
  [[ -z $prefix && auto == "$word"* ]] && echo auto
  for ((n = first; n <= 16; n++)); do
    if [[ ${taken[n]:-} ]]; then
      [[ $prefix == *- ]] && break  # a range runs on over this channel
      continue
    fi
    [[ $n == "$part"* ]] && echo "$prefix$n"
  done
}

# Prints each file or folder that begins with $1; with $2 = melodies, only
# folders and .mld or .mmf files; with $2 = folders, only folders.
_sorbelin_files() {
  local path
  while IFS= read -r path; do
    case $2 in
      melodies) [[ -d $path || $path == *.[mM][lL][dD] || $path == *.[mM][mM][fF] ]] || continue ;;
      folders) [[ -d $path ]] || continue ;;
    esac
    echo "$path"
  done < <(compgen -f -- "$1")
}

# Adds each line of its input to COMPREPLY.
_sorbelin_reply() {
  local line
  while IFS= read -r line; do COMPREPLY+=("$line"); done
}

_sorbelin() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} kind=melodies k
  # Bash splits "--vib=1,2" at the "=" into "--vib", "=" and "1,2".
  if [[ $cur == = ]]; then
    cur=''
  elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  COMPREPLY=()
  for ((k = 1; k < COMP_CWORD; k++)); do
    [[ ${COMP_WORDS[k]} == -- ]] && prev=--
  done
  case $prev in
    -v | --vib | -l | --led)
      _sorbelin_reply < <(_sorbelin_channels "$cur")
      return ;;
    --width) return ;;
    -o | --output) kind=any ;;
    -d | --dir) kind=folders ;;
    --) ;;
    *)
      if [[ $cur == -* ]]; then
        _sorbelin_reply < <(compgen -W "$_sorbelin_options" -- "$cur")
        return
      fi ;;
  esac
  # Quote what needs quoting and mark folders with a slash (outside a
  # completion, as in a test, there is nothing to set).
  compopt -o filenames 2>/dev/null || :
  _sorbelin_reply < <(_sorbelin_files "$cur" "$kind")
}

complete -F _sorbelin sorbelin
