#!/usr/bin/env bash
# Writes the manual page of PROGRAM from its own --help and --version, so the
# page always says what the program does:
#   make_man_page.sh PROGRAM NAME DATE OUTPUT
# The first line of the help is the synopsis, the lines up to the first empty
# one the description; a line "Heading:" opens a section whose two-space
# indented lines are entries ("term   text", or "term" with the text indented
# below it). Entries of a "Commands:" section are followed by the command's
# own help (PROGRAM COMMAND --help). Other lines keep their line breaks.
# OUTPUT is written gzip-compressed.
set -euo pipefail
program=$1 name=$2 date=$3 output=$4

help=$("$program" --help)
version=$("$program" --version | head -n 1)

page=$(awk -v program="$program" -v name="$name" -v date="$date" -v version="$version" '
function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    sub(/^[.\x27]/, "\\\\&&", text)
    return text
}
function trim(text) {
    sub(/^ +/, "", text)
    sub(/ +$/, "", text)
    return text
}
# The command'"'"'s own help, without its usage line: paragraphs filled, indented
# lines kept as they stand.
function command_help(command,    line, cmd, literal, seen_usage) {
    cmd = "\"" program "\" " command " --help"
    literal = 0
    seen_usage = 0
    while ((cmd | getline line) > 0) {
        if (!seen_usage) { seen_usage = 1; continue }
        if (line == "") {
            if (literal) { print ".fi"; literal = 0 }
            print ".IP"
            continue
        }
        if (line ~ /^ /) {
            if (!literal) { print ".nf"; literal = 1 }
        } else if (literal) {
            print ".fi"; literal = 0
        }
        print roff(line)
    }
    if (literal) print ".fi"
    close(cmd)
}
function end_entry() {
    if (entry != "" && section == "COMMANDS") command_help(entry)
    entry = ""
}
NR == 1 {
    usage = $0
    sub(/^Usage: [^ ]+ ?/, "", usage)
    next
}
NR > 1 && !described {
    if ($0 == "") {
        described = 1
        print ".TH " toupper(name) " 1 \"" date "\" \"" roff(version) "\" \"User Commands\""
        print ".nh"
        print ".SH NAME"
        print roff(name) " \\- " roff(summary)
        print ".SH SYNOPSIS"
        print ".B " roff(name)
        print roff(usage)
        print ".SH DESCRIPTION"
        print roff(description)
        next
    }
    if (summary == "") summary = $0
    description = description (description == "" ? "" : "\n") $0
    next
}
/^[A-Z][A-Za-z ]*:$/ {
    end_entry()
    section = toupper(substr($0, 1, length($0) - 1))
    print ".SH " roff(section)
    next
}
/^$/ {
    end_entry()
    paragraph = 1
    text_lines = 0
    next
}
section != "" && /^  [^ ]/ {
    end_entry()
    line = substr($0, 3)
    print ".TP"
    gap = index(line, "  ")
    if (gap > 0) {
        term = substr(line, 1, gap - 1)
        print ".B " roff(term)
        print roff(trim(substr(line, gap)))
    } else {
        term = line
        print ".B " roff(term)
    }
    split(term, words, " ")
    entry = words[1]
    next
}
/^   / && section != "" {
    print roff(trim($0))
    next
}
{
    end_entry()
    if (paragraph) {
        print ".PP"
        paragraph = 0
    } else if (text_lines) {
        print ".br"
    }
    text_lines++
    print roff($0)
}
END {
    end_entry()
    print ".SH SEE ALSO"
    print (name == "quenfort" ? ".BR quenfort\\-cli (1)" : ".BR quenfort (1)")
}
' <<<"$help")

printf '%s\n' "$page" | gzip -9n >"$output"
