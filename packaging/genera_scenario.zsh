#compdef genera_scenario
# zsh completion for genera_scenario, installed as _genera_scenario in a
# folder of $fpath (Debian: /usr/share/zsh/vendor-completions).
#
# The same tables as the bash completion (packaging/genera_scenario.bash);
# a new command or option is a new entry in them:
#   _genera_scenario_options COMMAND     the options COMMAND takes ("" is
#                                        the run without a command)
#   _genera_scenario_argument OPTION [COMMAND]
#                                        the kind of value OPTION takes
#                                        (after COMMAND), "" for a flag
#   _genera_scenario_positional COMMAND N
#                                        the kind of COMMAND's Nth argument
# Kinds: dir, line (*_linea.txt), train (*-.txt), compact (*.sim, *.dat),
# svg, html, code (what `genera_scenario explain` lists), text (nothing).
# The files of a kind come first; where none fits, any file is offered.

_genera_scenario_commands=(sources compile check inspect plot view explain)

_genera_scenario_options() {
  case $1 in
    "") reply=(-o --out -q --quiet --help -h --version) ;;
    sources) reply=(-o --out --force -q --quiet --help -h) ;;
    compile) reply=(-o --out --line-name --train-code --no-plan --json --emit-on-error --werror -q --quiet --help -h) ;;
    check) reply=(--line-name --train-code --no-plan --json --werror -q --quiet --help -h) ;;
    inspect) reply=(--json --help -h) ;;
    plot) reply=(-o --out --output --line-name --train-code --json -q --quiet --help -h) ;;
    explain) reply=(--markdown --help -h) ;;
    view) reply=(-o --out --output --line-name --train-code --serve --port -q --quiet --help -h) ;;
    *) reply=() ;;
  esac
}

_genera_scenario_argument() {
  REPLY=""
  case $1 in
    --out | -o) case $2 in plot) REPLY=svg ;; view) REPLY=html ;; *) REPLY=dir ;; esac ;;
    --output) if [[ $2 == view ]]; then REPLY=html; else REPLY=svg; fi ;;
    --line-name | --train-code | --port) REPLY=text ;;
  esac
}

_genera_scenario_positional() {
  REPLY=""
  case $1:$2 in
    compile:0 | check:0 | plot:0 | view:0) REPLY=line ;;
    compile:1 | check:1 | plot:1 | view:1) REPLY=train ;;
    inspect:*) REPLY=compact ;;
    explain:0) REPLY=code ;;
  esac
}

# Offers the names of kind $1: folders always, to walk into, the files of
# the kind, and any file when none of the kind fits.
_genera_scenario_names() {
  local -a patterns expl
  case $1 in
    line) patterns=('*_linea.txt') ;;
    train) patterns=('*-.txt') ;;
    compact) patterns=('*.sim' '*.dat') ;;
    svg) patterns=('*.svg') ;;
    html) patterns=('*.html') ;;
    code) _genera_scenario_codes; return ;;
    dir) _path_files -/; return ;;
    *) return 1 ;;
  esac
  local found=1 pattern
  for pattern in $patterns; do
    _path_files -g "${pattern}(-.)" && found=0
  done
  _path_files -/
  ((found == 0)) || _path_files -g '*(-.)'
}

# The failure codes and their names, as the program being completed lists
# them ("   16  name" a line).
_genera_scenario_codes() {
  local -a codes names
  local line
  for line in ${(f)"$(${words[1]} explain 2>/dev/null)"}; do
    if [[ $line =~ '^ *([0-9]+) +([^ ]+)' ]]; then
      codes+=($match[1])
      names+=($match[2])
    fi
  done
  compadd -- $codes $names
}

_genera_scenario() {
  local command="" count=0 i word kind
  for ((i = 2; i < CURRENT; i++)); do
    word=${words[i]}
    if [[ $word == -* ]]; then
      [[ $word == *=* ]] && continue
      _genera_scenario_argument $word $command
      [[ -n $REPLY ]] && ((i++))
    elif [[ -z $command && ${_genera_scenario_commands[(Ie)$word]} -gt 0 ]]; then
      command=$word
    else
      ((count++))
    fi
  done

  local cur=${words[CURRENT]} prev=${words[CURRENT - 1]}
  if [[ $cur == --*=* ]]; then
    _genera_scenario_argument ${cur%%=*} $command
    compset -P '*='
    _genera_scenario_names $REPLY
    return
  fi
  _genera_scenario_argument $prev $command
  if [[ -n $REPLY && $prev == -* && $prev != *=* ]]; then
    _genera_scenario_names $REPLY
    return
  fi
  if [[ $cur == -* ]]; then
    _genera_scenario_options $command
    compadd -- $reply
    return
  fi
  if [[ -z $command ]]; then
    compadd -- $_genera_scenario_commands
    return
  fi
  _genera_scenario_positional $command $count
  _genera_scenario_names $REPLY
}

_genera_scenario "$@"
