# bash completion for genera_scenario.
#
# A list and three tables describe the command line; a new command or option
# is a new entry in them, and the completion function needs no change:
#   _genera_scenario_commands         the commands
#   _genera_scenario_options COMMAND  the options COMMAND takes ("" is the
#                                     run without a command)
#   _genera_scenario_argument OPTION [COMMAND]
#                                     the kind of value OPTION takes (after
#                                     COMMAND), "" for a flag
#   _genera_scenario_positional COMMAND N
#                                     the kind of COMMAND's Nth argument
#                                     (from 0), "" for none
# A kind is one of: dir (a folder), line (*_linea.txt), train (*-.txt),
# compact (*.sim, *.dat), svg (*.svg), html (*.html), code (a failure
# code or its name, as `genera_scenario explain` lists them), text (free
# text: nothing to offer). The files of a kind come first; where none of
# them fits what is typed, any file is offered (a source may be named
# linea.txt).

_genera_scenario_commands="sources compile check inspect plot view explain lsp"

_genera_scenario_options() {
  case $1 in
    "") echo "-o --out -q --quiet --help -h --version" ;;
    sources) echo "-o --out --force -q --quiet --help -h" ;;
    compile) echo "-o --out --line-name --train-code --no-plan --json --emit-on-error --werror -q --quiet --help -h" ;;
    check) echo "--line-name --train-code --no-plan --json --werror -q --quiet --help -h" ;;
    inspect) echo "--json --help -h" ;;
    plot) echo "-o --out --output --line-name --train-code --json -q --quiet --help -h" ;;
    explain) echo "--markdown --help -h" ;;
    view) echo "-o --out --output --line-name --train-code --serve --port -q --quiet --help -h" ;;
    lsp) echo "--stdio --help -h" ;;
  esac
}

_genera_scenario_argument() {
  case $1 in
    --out | -o) case $2 in plot) echo svg ;; view) echo html ;; *) echo dir ;; esac ;;
    --output) if [[ $2 == view ]]; then echo html; else echo svg; fi ;;
    --line-name | --train-code | --port) echo text ;;
  esac
}

_genera_scenario_positional() {
  case $1:$2 in
    compile:0 | check:0 | plot:0 | view:0) echo line ;;
    compile:1 | check:1 | plot:1 | view:1) echo train ;;
    inspect:*) echo compact ;;
    explain:0) echo code ;;
  esac
}

# Offers the names of kind $1 that start with $2: folders always, so that
# the user can walk into them, and the files that fit the kind.
_genera_scenario_names() {
  local kind=$1 cur=$2 patterns=() pattern
  case $kind in
    line) patterns=('*_linea.txt') ;;
    train) patterns=('*-.txt') ;;
    compact) patterns=('*.sim' '*.dat') ;;
    svg) patterns=('*.svg') ;;
    html) patterns=('*.html') ;;
    code) _genera_scenario_codes "$cur"; return ;;
    dir) ;;
    *) return ;;
  esac
  compopt -o filenames 2>/dev/null
  local IFS=$'\n' found=0 name
  COMPREPLY+=($(compgen -d -- "$cur"))
  for pattern in "${patterns[@]}"; do
    for name in $(compgen -f -X "!$pattern" -- "$cur"); do
      [[ -d $name ]] && continue
      COMPREPLY+=("$name")
      found=1
    done
  done
  if ((${#patterns[@]} > 0 && !found)); then
    for name in $(compgen -f -- "$cur"); do
      [[ -d $name ]] || COMPREPLY+=("$name")
    done
  fi
}

# Offers the failure codes and their names that start with $1, as the
# program being completed lists them ("   16  name" a line), so that the
# list is always the program's own.
_genera_scenario_codes() {
  local program=${COMP_WORDS[0]} number name
  while read -r number name _; do
    [[ $number =~ ^[0-9]+$ ]] || continue
    [[ $number == "$1"* ]] && COMPREPLY+=("$number")
    [[ -n $name && $name == "$1"* ]] && COMPREPLY+=("$name")
  done < <("$program" explain 2>/dev/null)
}

_genera_scenario() {
  # "--out=DIR" comes as three words, "--out", "=" and "DIR": the value is
  # what follows "=", the option what precedes it.
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  if [[ $cur == = ]]; then
    cur=""
  elif [[ $prev == = && COMP_CWORD -gt 2 ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  COMPREPLY=()

  # Walk the words before the cursor: the command, and how many of its
  # arguments are given (an option's value is not one of them).
  local command="" count=0 i word kind
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word == -* ]]; then
      if [[ -n $(_genera_scenario_argument "$word" "$command") ]]; then
        [[ ${COMP_WORDS[i + 1]} != = ]] || ((i++))
        ((i++))
      fi
    elif [[ -z $command && " $_genera_scenario_commands " == *" $word "* ]]; then
      command=$word
    else
      ((count++))
    fi
  done

  kind=$(_genera_scenario_argument "$prev" "$command")
  if [[ -n $kind && $prev == -* ]]; then
    _genera_scenario_names "$kind" "$cur"
    return
  fi
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_genera_scenario_options "$command")" -- "$cur"))
    return
  fi
  if [[ -z $command ]]; then
    COMPREPLY=($(compgen -W "$_genera_scenario_commands" -- "$cur"))
    return
  fi
  _genera_scenario_names "$(_genera_scenario_positional "$command" "$count")" "$cur"
}

complete -F _genera_scenario genera_scenario
