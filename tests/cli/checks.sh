# The checks the command-line tests share; source it after setting `failures=0`.

fail() {  # fail WHAT: counts a failed check
    echo "FAIL: $*"
    failures=$((failures + 1))
}

check() {  # check DESCRIPTION EXPECTED ACTUAL (exit statuses or texts)
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1: got \"$3\", expected \"$2\""
        failures=$((failures + 1))
    fi
}

check_contains() {  # check_contains DESCRIPTION FILE TEXT
    if ! grep -qF -- "$3" "$2"; then
        echo "FAIL: $1: \"$3\" not found in:"; cat "$2"
        failures=$((failures + 1))
    fi
}

finish_checks() {  # finish_checks WHAT: exits 1 after any failure, else says WHAT passed
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all $1 checks passed"
}
