# fish completion for genera_scenario, installed as genera_scenario.fish in
# a folder fish reads completions from (Debian:
# /usr/share/fish/vendor_completions.d).
#
# The same tables as the bash completion (packaging/genera_scenario.bash);
# a new command or option is a new entry in them. Kinds: dir, line
# (*_linea.txt), train (*-.txt), compact (*.sim, *.dat), svg, html, code
# (what `genera_scenario explain` lists), text (nothing to offer). The
# files of a kind come first; where none fits, any file is offered.

set -g __genera_scenario_commands sources compile check inspect plot view explain

function __genera_scenario_options
    switch "$argv[1]"
        case ''
            echo -o --out -q --quiet --help -h --version
        case sources
            echo -o --out --force -q --quiet --help -h
        case compile
            echo -o --out --line-name --train-code --no-plan --json --emit-on-error --werror -q --quiet --help -h
        case check
            echo --line-name --train-code --no-plan --json --werror -q --quiet --help -h
        case inspect
            echo --json --help -h
        case plot
            echo -o --out --output --line-name --train-code --json -q --quiet --help -h
        case explain
            echo --markdown --help -h
        case view
            echo -o --out --output --line-name --train-code --serve --port -q --quiet --help -h
    end
end

function __genera_scenario_argument
    switch "$argv[1]"
        case --out -o
            switch "$argv[2]"
                case plot
                    echo svg
                case view
                    echo html
                case '*'
                    echo dir
            end
        case --output
            if test "$argv[2]" = view
                echo html
            else
                echo svg
            end
        case --line-name --train-code --port
            echo text
    end
end

function __genera_scenario_positional
    switch "$argv[1]:$argv[2]"
        case compile:0 check:0 plot:0 view:0
            echo line
        case compile:1 check:1 plot:1 view:1
            echo train
        case 'inspect:*'
            echo compact
        case explain:0
            echo code
    end
end

# The names of kind $argv[1] that start with $argv[2]: folders always, the
# files of the kind, and any file when none of the kind fits.
function __genera_scenario_names
    set -l kind $argv[1]
    set -l cur $argv[2]
    set -l patterns
    switch $kind
        case line
            set patterns '*_linea.txt'
        case train
            set patterns '*-.txt'
        case compact
            set patterns '*.sim' '*.dat'
        case svg
            set patterns '*.svg'
        case html
            set patterns '*.html'
        case code
            # The program's own list, "   16  name" a line.
            for row in ($__genera_scenario_program explain 2>/dev/null)
                set -l fields (string match -r '^\s*([0-9]+)\s+(\S+)' -- $row)
                and printf '%s\n' $fields[2] $fields[3]
            end | string match -- "$cur*"
            return
        case dir
        case '*'
            return
    end
    # Without the descriptions fish puts after a tab.
    set -l paths (__fish_complete_path "$cur" | string replace -r -- "\t.*" "")
    string match -- '*/' $paths
    set -l files (string match -v -- '*/' $paths)
    set -l fitting
    for pattern in $patterns
        set -a fitting (string match -- $pattern $files)
    end
    if test (count $patterns) -gt 0
        if test (count $fitting) -gt 0
            printf '%s\n' $fitting
        else
            printf '%s\n' $files
        end
    end
end

function __genera_scenario_complete
    set -l tokens (commandline -opc)
    set -l cur (commandline -ct)
    set -g __genera_scenario_program $tokens[1]
    set -l command ''
    set -l count 0
    set -l skip 0
    for word in $tokens[2..-1]
        if test $skip -eq 1
            set skip 0
            continue
        end
        if string match -q -- '-*' $word
            if not string match -q -- '*=*' $word
                and test -n "$(__genera_scenario_argument $word $command)"
                set skip 1
            end
        else if test -z "$command"; and contains -- $word $__genera_scenario_commands
            set command $word
        else
            set count (math $count + 1)
        end
    end

    if string match -q -r -- '^(--[a-z-]+)=' $cur
        set -l option (string replace -r -- '=.*' '' $cur)
        set -l value (string replace -r -- '^[^=]*=' '' $cur)
        for name in (__genera_scenario_names (__genera_scenario_argument $option $command) $value)
            echo "$option=$name"
        end
        return
    end
    set -l prev $tokens[-1]
    if test $skip -eq 1
        __genera_scenario_names (__genera_scenario_argument $prev $command) $cur
        return
    end
    if string match -q -- '-*' $cur
        string split ' ' -- (__genera_scenario_options $command)
        return
    end
    if test -z "$command"
        printf '%s\n' $__genera_scenario_commands
        return
    end
    __genera_scenario_names (__genera_scenario_positional $command $count) $cur
end

complete -c genera_scenario -f -a '(__genera_scenario_complete)'
