# Shared by the corpus scripts: runs epubcheck on a book and reads its verdict from the checker's
# exit status and its closing "Messages:" line, so that a checker that could not run (no Java, a
# crash, a file it could not open) never reads as a book without errors. Source it, then:
#   check_book BOOK REPORT       runs epubcheck, its output in REPORT and its exit status in REPORT.status
#   check_books BOOK...          check_book BOOK BOOK.check for each book, in one Java process
#   book_errors REPORT           prints the errors (fatal ones included), or "checker failed"
#   error_kinds REPORT           prints the errors grouped by message code ("RSC-007 2, ...")

check_book() {
    java -XX:TieredStopAtLevel=1 -jar /usr/share/java/epubcheck.jar "$1" >"$2" 2>&1
    echo $? >"$2.status"
}

verdict_folder=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The checker starts and compiles its schemas in some four seconds, far longer than most books
# take to check: EpubCheckBatch.java checks them all in one process when the Java runtime can
# run a source file (it has the compiler module). A book it could not judge is checked again
# alone, so a fault of the batch never reads as a fault of the book.
check_books() {
    [ $# -gt 0 ] || return 0
    local book
    if java --list-modules 2>/dev/null | grep -q '^jdk\.compiler@'; then
        java -cp /usr/share/java/epubcheck.jar "$verdict_folder/EpubCheckBatch.java" "$@" || true
    fi
    for book in "$@"; do
        [[ $(cat "$book.check.status" 2>/dev/null) =~ ^[01]$ ]] || check_book "$book" "$book.check"
    done
}

book_errors() {
    local report=$1 status summary fatals errors
    status=$(cat "$report.status" 2>/dev/null || echo missing)
    summary=$(grep -E '^Messages: [0-9]+ fatals? / [0-9]+ errors? /' "$report" 2>/dev/null | tail -n 1)
    if [ -z "$summary" ] || ! [[ $status =~ ^[01]$ ]]; then echo "checker failed"; return; fi
    read -r fatals errors < <(sed -E 's#^Messages: ([0-9]+) fatals? / ([0-9]+) errors?.*#\1 \2#' <<<"$summary")
    # epubcheck exits 1 with errors and 0 without; any other pairing means it checked nothing.
    if [ $((fatals + errors > 0)) -ne "$status" ]; then echo "checker failed"; return; fi
    echo $((fatals + errors))
}

error_kinds() {
    { grep -oE '^(ERROR|FATAL)\([A-Z0-9-]*\)' "$1" || true; } | sort | uniq -c |
        awk '{printf "%s%s %s", sep, $2, $1; sep=", "}' | sed -E 's/(ERROR|FATAL)\(([^)]*)\)/\2/g'
}
