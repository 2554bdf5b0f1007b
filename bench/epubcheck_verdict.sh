# Shared by the corpus scripts: runs epubcheck on a book and reads its verdict from the checker's
# exit status and its closing "Messages:" line, so that a checker that could not run (no Java, a
# crash, a file it could not open) never reads as a book without errors. Source it, then:
#   check_book BOOK REPORT       runs epubcheck, its output in REPORT and its exit status in REPORT.status
#   book_errors REPORT           prints the errors (fatal ones included), or "checker failed"
#   error_kinds REPORT           prints the errors grouped by message code ("RSC-007 2, ...")

check_book() {
    java -XX:TieredStopAtLevel=1 -jar /usr/share/java/epubcheck.jar "$1" >"$2" 2>&1
    echo $? >"$2.status"
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
