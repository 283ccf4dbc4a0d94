# bash completion for tidemark-cli. The commands, their options and the options' values are
# read from the program's own --help, so they follow whichever version is installed.

_tidemark_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return
    fi
    local help
    help=$("$program" "${COMP_WORDS[1]}" --help 2>/dev/null) || return
    if [[ $prev == --* ]]; then
        # A choice is written "--option one|two|three", any other value "--option WORD".
        local choice value
        choice=$(grep -oE -- "$prev [a-z]+(\|[a-z]+)+" <<<"$help" | head -n 1)
        if [[ -n $choice ]]; then
            choice=${choice#* }
            mapfile -t COMPREPLY < <(compgen -W "${choice//|/ }" -- "$cur")
            return
        fi
        value=$(grep -oE -- "$prev [A-Z][A-Z,]*" <<<"$help" | head -n 1)
        case ${value#* } in
            DIR)
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -d -- "$cur")
                return
                ;;
            NAME)
                # An entry of the folder given first.
                local folder=${COMP_WORDS[2]}
                [[ -d $folder ]] && mapfile -t COMPREPLY < <(cd "$folder" && compgen -f -- "$cur")
                return
                ;;
            ?*) return ;;
        esac
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}

complete -F _tidemark_cli tidemark-cli
