#!/usr/bin/env bash
# The bash completion of quenfort-cli offers what the program says it has.
#   completion_test.sh QUENFORT_CLI COMPLETION_SCRIPT
set -uo pipefail
cli=$1 script=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/site/pictures"
ln -s "$cli" "$work/bin/quenfort-cli"
export PATH="$work/bin:$PATH"
# The application folder the layouts come from, made afresh.
export XDG_DATA_HOME="$work/data"
cd "$work/site" || exit 1
quenfort-cli new-page . index layout=1 >/dev/null || fail "no page to complete on"
touch notes.txt

# shellcheck source=/dev/null
source "$script"
# complete LINE: the offers for the command line LINE, one a line.
# The words as the shell splits them for completion: at blanks not escaped,
# and at "=" (COMP_WORDBREAKS), so a value is its own word.
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
complete_line() {
    COMP_LINE=$1
    COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _quenfort_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

commands=$(quenfort-cli --help | awk '/^  [a-z]/ { print $1 }')
[ "$(echo "$commands" | wc -l)" -ge 10 ] || fail "the help lists too few commands: $commands"
offered=$(complete_line "quenfort-cli ")
for command in $commands --help --version; do
    grep -qx -- "$command" <<<"$offered" || fail "'$command' is not offered: $offered"
done
for command in areas import-file import-picture insert kinds new-page new-project; do
    grep -qx "$command" <<<"$offered" || fail "'$command' is not offered"
done
[ "$(complete_line "quenfort-cli ne")" = $'new-page\nnew-project' ] ||
    fail "'ne' offers: $(complete_line "quenfort-cli ne")"

# Pages and folders where a page goes; not other files.
[ "$(complete_line "quenfort-cli areas ")" = $'index.html\npictures/' ] ||
    fail "pages offered: $(complete_line "quenfort-cli areas ")"
# The areas of the page, the kinds, the fields of the kind.
area=$(quenfort-cli areas index.html | head -n 1)
grep -qx "$area" <<<"$(complete_line "quenfort-cli insert index.html ")" || fail "area $area not offered"
grep -qx "Image" <<<"$(complete_line "quenfort-cli insert index.html $area ")" || fail "kind Image not offered"
[ "$(complete_line "quenfort-cli insert index.html $area Link_Img ne")" = "newwindow=" ] ||
    fail "Link_Img fields: $(complete_line "quenfort-cli insert index.html $area Link_Img ne")"
fields=$(complete_line "quenfort-cli insert index.html $area Image src=x ")
expected=$(quenfort-cli kinds | awk '/^[^ ]/ { inside = ($1 == "Image"); next } inside { split($1, f, "="); print f[1] "=" }' | sort)
[ "$fields" = "$expected" ] || fail "Image fields: $fields"
grep -qx "alt=" <<<"$fields" || fail "no alt= among the Image fields"
# A value is the user's own; options come from the command's synopsis.
[ -z "$(complete_line "quenfort-cli insert index.html $area Image src=")" ] || fail "a value was completed"
grep -qx "layout=" <<<"$(complete_line "quenfort-cli new-page . home ")" || fail "new-page options"
# Component entries, one word each, and the fields of the entry's kind.
quenfort-cli insert index.html "$area" Text_Link >/dev/null || fail "no text link"
[ "$(complete_line "quenfort-cli component-values index.html ")" = 'Text\ Link1' ] ||
    fail "entries offered: $(complete_line "quenfort-cli component-values index.html ")"
[ "$(complete_line "quenfort-cli modify-component index.html Text\ Link1 sta")" = "status=" ] ||
    fail "Text_Link fields: $(complete_line "quenfort-cli modify-component index.html Text\ Link1 sta")"

# Names with blanks and non-ASCII letters come back escaped, one word each,
# and are completed again once typed so.
mkdir -p "my dir"
touch "my dir/café menu.html" "my dir/note s.txt"
[ "$(complete_line "quenfort-cli areas my")" = 'my\ dir/' ] ||
    fail "a folder with a blank: $(complete_line "quenfort-cli areas my")"
[ "$(complete_line "quenfort-cli areas my\ dir/")" = 'my\ dir/café\ menu.html' ] ||
    fail "a page with a blank and an é: $(complete_line "quenfort-cli areas my\ dir/")"
[ "$(complete_line "quenfort-cli areas 'my dir'/ca")" = 'my\ dir/café\ menu.html' ] ||
    fail "a quoted folder: $(complete_line "quenfort-cli areas 'my dir'/ca")"
# Any file for a picture or a file to import.
[ "$(complete_line "quenfort-cli import-picture . no")" = "notes.txt" ] ||
    fail "import-picture files: $(complete_line "quenfort-cli import-picture . no")"
[ "$(complete_line "quenfort-cli import-file . my\ dir/no")" = 'my\ dir/note\ s.txt' ] ||
    fail "import-file files: $(complete_line "quenfort-cli import-file . my\ dir/no")"
# The php command's fields, and the choices an option names.
[ "$(complete_line "quenfort-cli php . mail ")" = $'failure=\nform-page=\nrecipient=\nreplace=\nsuccess=' ] ||
    fail "php fields: $(complete_line "quenfort-cli php . mail ")"
[ "$(complete_line "quenfort-cli php . mail form-page=in")" = "index.html" ] ||
    fail "php form page: $(complete_line "quenfort-cli php . mail form-page=in")"
[ "$(complete_line "quenfort-cli check-site . --format=")" = $'json\ntext' ] ||
    fail "check-site formats: $(complete_line "quenfort-cli check-site . --format=")"
[ "$(complete_line "quenfort-cli page-properties index.html noscroll=")" = $'0\n1' ] ||
    fail "noscroll choices: $(complete_line "quenfort-cli page-properties index.html noscroll=")"
echo "ok"
