# bash completion for quenfort-cli.
# Everything offered is read from the program itself: the commands and their
# arguments from `quenfort-cli --help`, the component kinds and their fields
# from `quenfort-cli kinds`, the areas of a page from `quenfort-cli areas`.
# A command added to the program is offered without a change here.

# The commands, one a line.
_quenfort_cli_commands() {
    "$1" --help 2>/dev/null | awk '/^  [a-z]/ { print $1 }'
}

# The synopsis of one command: "insert PAGE AREA KIND [FIELD=VALUE]...".
_quenfort_cli_synopsis() {
    "$1" --help 2>/dev/null | awk -v command="$2" '/^  [a-z]/ && $1 == command { sub(/^  /, ""); print; exit }'
}

# The kinds `insert` takes, one a line.
_quenfort_cli_kinds() {
    "$1" kinds 2>/dev/null | awk '/^[^ ]/ { print $1 }'
}

# The fields of one kind, each as "name=".
_quenfort_cli_fields() {
    "$1" kinds 2>/dev/null | awk -v kind="$2" '
        /^[^ ]/ { inside = ($1 == kind); next }
        inside { split($1, field, "="); print field[1] "=" }'
}

# The kind of a Select Component entry ("Text Link2" is a Text_Link).
_quenfort_cli_entry_kind() {
    local display=${2%%+([0-9])}
    "$1" kinds 2>/dev/null | awk -v display="($display)" '/^[^ ]/ && substr($0, index($0, " ") + 1) == display { print $1 }'
}

# The Select Component entries of a page starting with $3 as typed, blanks
# escaped so that an entry stays one word.
_quenfort_cli_entries() {
    local entry quoted
    while IFS= read -r entry; do
        quoted=${entry// /\\ }
        [[ $quoted == "$3"* ]] && printf '%s\n' "$quoted"
    done < <("$1" components "$2" 2>/dev/null)
}

# Files and folders starting with $1; with $2 set, only pages among the files.
_quenfort_cli_paths() {
    local path
    while IFS= read -r path; do
        if [[ -d $path ]]; then
            printf '%s/\n' "${path%/}"
        elif [[ -z $2 || $path == *.html || $path == *.htm || $path == *.php ]]; then
            printf '%s\n' "$path"
        fi
    done < <(compgen -f -- "$1")
}

_quenfort_cli() {
    local program=${COMP_WORDS[0]}
    # Words as typed, split at blanks only ("src=x" stays one word).
    local typed=${COMP_LINE:0:COMP_POINT}
    local -a words
    read -ra words <<<"$typed"
    [[ $typed =~ [[:space:]]$ ]] && words+=("")
    local current=${words[${#words[@]}-1]}
    local index=$((${#words[@]} - 1))
    local IFS=$'\n'
    COMPREPLY=()

    if ((index == 1)); then
        COMPREPLY=($(compgen -W "$(_quenfort_cli_commands "$program")"$'\n--help\n--version' -- "$current"))
        return
    fi
    # A value after "=" is the user's own.
    [[ $current == *=* ]] && return

    local synopsis
    synopsis=$(_quenfort_cli_synopsis "$program" "${words[1]}")
    [[ -n $synopsis ]] || return
    local -a arguments=() options=() given=()
    local word
    IFS=' ' read -ra arguments <<<"$synopsis"
    local -a positional=()
    for word in "${arguments[@]:1}"; do
        case $word in
        \[*=*) word=${word#[}; options+=("${word%%=*}=") ;;
        \[*) ;;
        *) positional+=("$word") ;;
        esac
    done
    local joined=""
    for word in "${words[@]:2:index-2}"; do
        # "Text\ Link2" was typed as one word.
        if [[ $word == *\\ ]]; then
            joined+="${word%\\} "
            continue
        fi
        word=$joined$word
        joined=""
        [[ $word == *=* || $word == -* ]] || given+=("$word")
    done

    local -a candidates=()
    if ((${#given[@]} < ${#positional[@]})); then
        case ${positional[${#given[@]}]} in
        PAGE) candidates=($(_quenfort_cli_paths "$current" pages)) ;;
        PROJECT | LOCATION) candidates=($(compgen -d -- "$current" | sed 's,/*$,/,')) ;;
        AREA) candidates=($(compgen -W "$("$program" areas "${given[0]}" 2>/dev/null)" -- "$current")) ;;
        KIND) candidates=($(compgen -W "$(_quenfort_cli_kinds "$program")" -- "$current")) ;;
        ENTRY) candidates=($(_quenfort_cli_entries "$program" "${given[0]}" "$current")) ;;
        esac
    elif [[ ${options[0]-} == FIELD= && ${words[1]} == modify-component ]]; then
        # modify-component: the fields of the entry's kind.
        local kind
        kind=$(shopt -s extglob; _quenfort_cli_entry_kind "$program" "${given[1]}")
        candidates=($(compgen -W "$(_quenfort_cli_fields "$program" "$kind")" -- "$current"))
    elif [[ ${options[0]-} == FIELD= ]]; then
        # insert: the fields of the kind given.
        candidates=($(compgen -W "$(_quenfort_cli_fields "$program" "${given[2]}")" -- "$current"))
    else
        candidates=($(compgen -W "${options[*]}" -- "$current"))
    fi
    COMPREPLY=("${candidates[@]}")
    # Folders and "field=" go on without a blank.
    if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *[/=] ]]; then
        return
    fi
    compopt -o nospace 2>/dev/null
}

complete -F _quenfort_cli quenfort-cli
