# bash completion for restaurant(1): its sub-commands and options; --menu
# and --journal complete file names.
_restaurant() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}

    case $prev in
        --hostname)
            mapfile -t COMPREPLY < <(compgen -A hostname -- "$cur")
            return
            ;;
        --menu | --journal | --certificate | --key | --signing-key)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
    esac

    local command="" word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
            menu | days | report | summary | receipt | export | verify | key | settings | serve | staff | sold-out | available | ship | group)
                command=$word
                break
                ;;
        esac
    done

    local words
    case $command in
        "") words="menu days report summary receipt export verify key settings serve staff sold-out available ship group --menu --journal --no-journal --vat --signing-key --demo --help --version" ;;
        menu) words="import --menu --journal --help" ;;
        settings) words="name address vat-number currency service-charge site --journal --help" ;;
        sold-out | available) words="dish snack drink --journal --help" ;;
        serve) words="--listen --hostname --certificate --key --menu --vat --signing-key --ship-to --journal --help" ;;
        ship) words="--to --journal --help" ;;
        group) words="init report --to --from --since --until --site --format --help" ;;
        verify) words="--public-key --new-anchor --journal --help" ;;
        export) words="--signed-head --journal --help" ;;
        staff) words="add list remove --role --journal --help" ;;
        *) words="--journal --help" ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}
complete -F _restaurant restaurant
