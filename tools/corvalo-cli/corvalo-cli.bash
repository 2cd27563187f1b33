# bash completion for corvalo-cli: its options, their values, and file names
# (for the text that goes to standard input after "<").

_corvalo_cli() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
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
            --keep-leading-empty-rows --decimal-separator --thousands-separator --all
            --help -h' -- "$cur")
        return
    fi
    # Anything else is a file name, as after a redirection.
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    compopt -o filenames 2>/dev/null
}
complete -F _corvalo_cli corvalo-cli
