# bash completion for corvalo-cli: its options, their values, and file names.

_corvalo_cli() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--mode=m" reaches here as the words --mode, = and m.
    if [[ $prev == = && COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == = ]]; then
        cur=
    fi
    case $prev in
        --mode)
            mapfile -t COMPREPLY < <(compgen -W 'add subtract multiply divide' -- "$cur")
            return
            ;;
        --line | --decimals | --decimal-separator | --thousands-separator)
            COMPREPLY=()  # a number or a character: nothing to offer
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--columns --rows --line --mode --decimals
            --keep-leading-empty-rows --statement-signs --decimal-separator
            --thousands-separator --all --stats --help -h --version' -- "$cur")
        return
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    compopt -o filenames 2>/dev/null
}
complete -F _corvalo_cli corvalo-cli
