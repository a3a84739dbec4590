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

# A word as the shell reads it back: blanks and the shell's own characters
# behind a backslash, every other letter (non-ASCII ones too) as it is.
_quenfort_cli_escape() {
    local word=$1 out="" char i
    for ((i = 0; i < ${#word}; i++)); do
        char=${word:i:1}
        case $char in
        [[:space:]\\\'\"\$\`\&\|\;\<\>\(\)\{\}\[\]\*\?\!\#\~]) out+="\\$char" ;;
        *) out+=$char ;;
        esac
    done
    printf '%s\n' "$out"
}

# Splits the typed line into words as the shell would: blanks end a word
# unless escaped or quoted; the words come back without their quoting. A
# blank at the end starts a new, empty word.
_quenfort_cli_split() {
    local line=$1 word="" char quote="" i started=0
    _quenfort_cli_words=()
    for ((i = 0; i < ${#line}; i++)); do
        char=${line:i:1}
        if [[ $quote == "'" ]]; then
            [[ $char == "'" ]] && quote="" || word+=$char
        elif [[ $char == "\\" ]]; then
            ((i++))
            word+=${line:i:1}
            started=1
        elif [[ $quote == '"' ]]; then
            [[ $char == '"' ]] && quote="" || word+=$char
        elif [[ $char == "'" || $char == '"' ]]; then
            quote=$char
            started=1
        elif [[ $char == [[:space:]] ]]; then
            ((started)) && _quenfort_cli_words+=("$word")
            word=""
            started=0
        else
            word+=$char
            started=1
        fi
    done
    _quenfort_cli_words+=("$word")
}

# The Select Component entries of a page starting with $3, escaped.
_quenfort_cli_entries() {
    local entry
    while IFS= read -r entry; do
        [[ $entry == "$3"* ]] && _quenfort_cli_escape "$entry"
    done < <("$1" components "$2" 2>/dev/null)
}

# Files and folders starting with $1, escaped; with $2 set, only pages among
# the files.
_quenfort_cli_paths() {
    local path
    while IFS= read -r path; do
        if [[ -d $path ]]; then
            _quenfort_cli_escape "${path%/}/"
        elif [[ -z ${2-} || $path == *.html || $path == *.htm || $path == *.php ]]; then
            _quenfort_cli_escape "$path"
        fi
    done < <(compgen -f -- "$1")
}

# Folders starting with $1, escaped.
_quenfort_cli_folders() {
    local path
    while IFS= read -r path; do
        _quenfort_cli_escape "${path%/}/"
    done < <(compgen -d -- "$1")
}

_quenfort_cli() {
    local program=${COMP_WORDS[0]}
    local -a _quenfort_cli_words
    _quenfort_cli_split "${COMP_LINE:0:COMP_POINT}"
    local -a words=("${_quenfort_cli_words[@]}")
    local current=${words[${#words[@]}-1]}
    local index=$((${#words[@]} - 1))
    local IFS=$'\n'
    COMPREPLY=()

    if ((index == 1)); then
        COMPREPLY=($(compgen -W "$(_quenfort_cli_commands "$program")"$'\n--help\n--version' -- "$current"))
        return
    fi

    local synopsis
    synopsis=$(_quenfort_cli_synopsis "$program" "${words[1]}")
    [[ -n $synopsis ]] || return
    local -a arguments=() options=() given=() values=()
    local word
    IFS=' ' read -ra arguments <<<"$synopsis"
    local -a positional=()
    for word in "${arguments[@]:1}"; do
        word=${word#[}
        word=${word%]}
        word=${word%...}
        word=${word%]}
        case $word in
        *=*) options+=("${word%%=*}=") values+=("${word#*=}") ;;
        -*) options+=("$word") values+=("") ;;
        *) positional+=("$word") ;;
        esac
    done
    for word in "${words[@]:2:index-2}"; do
        [[ $word == *=* || $word == -* ]] || given+=("$word")
    done

    local -a candidates=()
    if [[ $current == *=* ]]; then
        # A value after "=": the choices the synopsis names (text|json, 0|1,
        # yes), pages for a page; anything else is the user's own.
        local name=${current%%=*}= value=${current#*=} i choice
        # The shell replaces only what follows "=" when "=" breaks words.
        local lead=$name
        [[ $COMP_WORDBREAKS == *=* ]] && lead=""
        for i in "${!options[@]}"; do
            [[ ${options[i]} == "$name" ]] || continue
            if [[ ${values[i]} == PAGE ]]; then
                while IFS= read -r choice; do
                    candidates+=("$lead$choice")
                done < <(_quenfort_cli_paths "$value" pages)
            elif [[ ${values[i]} =~ ^[a-z0-9|]+$ ]]; then
                local -a choices
                IFS='|' read -ra choices <<<"${values[i]}"
                for choice in "${choices[@]}"; do
                    [[ $choice == "$value"* ]] && candidates+=("$lead$choice")
                done
            fi
        done
    elif ((${#given[@]} < ${#positional[@]})); then
        case ${positional[${#given[@]}]} in
        PAGE) candidates=($(_quenfort_cli_paths "$current" pages)) ;;
        FILE) candidates=($(_quenfort_cli_paths "$current")) ;;
        PROJECT | LOCATION) candidates=($(_quenfort_cli_folders "$current")) ;;
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
