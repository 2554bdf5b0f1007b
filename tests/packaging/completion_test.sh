#!/usr/bin/env bash
# Bash completion of quirebook: sub-commands, every option the program's help lists, option values
# and the files each sub-command takes. Usage: completion_test.sh QUIREBOOK COMPLETION-FILE.
# Skips without bash-completion.
set -u
program=$1
completion=$2
framework=/usr/share/bash-completion/bash_completion
[ -f "$framework" ] || { echo "skipped: bash-completion is missing"; exit 77; }
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$completion"
PATH=$(dirname "$program"):$PATH
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# What Tab offers after WORDS (the last one being completed), sorted, one a line.
offers() {
    COMP_WORDS=(quirebook "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _quirebook quirebook "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {  # expect "WORDS..." EXPECTED-LINES
    local got
    got=$(eval "offers $1")
    [ "$got" = "$2" ] || fail "after [$1] offered [${got//$'\n'/ }], expected [${2//$'\n'/ }]"
}
expect_all() {  # expect_all "WORDS..." ITEM...: each ITEM is among the offers
    local words=$1 got item
    shift
    got=$(eval "offers $words")
    for item in "$@"; do
        grep -qxF -- "$item" <<<"$got" || fail "after [$words] $item was not offered"
    done
}

expect "''" "$(printf '%s\n' demo make repack validate word word-html)"
expect "wo" "$(printf '%s\n' word word-html)"
expect "--" "$(printf '%s\n' --help --help-all --version)"

# Every long option of every sub-command's help, read from the help apart from the completion.
for subcommand in make word-html word validate repack demo; do
    mapfile -t options < <("$program" "$subcommand" --help | grep -E '^ +-' | grep -oE -- '--[a-z-]+')
    [ "${#options[@]}" -gt 1 ] || fail "no options read from the help of $subcommand"
    expect_all "$subcommand --" "${options[@]}"
done
expect "make --ti" "$(printf '%s\n' --title --title-page --titles)"
expect "make --titles ''" "$(printf '%s\n' file heading html off)"
expect "make --toc ''" "$(printf '%s\n' chapters headings)"
expect "word-html --epub-version ''" "$(printf '%s\n' 2 3)"
expect "word --option EpubV" "EpubVersion="
expect "word --option PassEpub" "PassEpubCheck="
expect "make --author ''" ""
expect "make --remove ''" ""

# Files by what each sub-command takes.
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir work
touch a.html b.htm c.docx d.doc e.epub f.txt g.png
expect "make ''" "$(printf '%s\n' a.html b.htm work)"
expect "word ''" "$(printf '%s\n' c.docx d.doc work)"
expect "validate ''" "$(printf '%s\n' e.epub work)"
expect "make a.html -o ''" "$(printf '%s\n' e.epub work)"
expect "make a.html --cover ''" "$(printf '%s\n' g.png work)"
expect "make --from-contents ''" "$(printf '%s\n' a.html b.htm work)"
expect "make --from-contents a.html --depth ''" ""
expect "repack ''" "work"
expect "repack work ''" "$(printf '%s\n' e.epub work)"
expect "demo ''" ""

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "completion passed every check"
