#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for SECONDS, two at a
# time at a lowered priority, on its seeds, the inputs found in earlier runs and the matching
# files of ../shared/corpus when it is there. Exits non-zero when any target crashes, leaks,
# times out or runs out of memory; every failing input is kept in tests/fuzz/regressions/TARGET/
# (replayed by ctest) and its log in build-fuzz/logs/. Usage: tests/fuzz/run.sh SECONDS [TARGET...]
set -euo pipefail
seconds=${1:?usage: tests/fuzz/run.sh SECONDS [TARGET...]}
shift
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-fuzz
corpus_root=$root/../shared/corpus

missing=()
command -v clang++ >/dev/null || missing+=(clang)
if ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    missing+=(libclang-rt-dev)
fi
if ((${#missing[@]})); then
    echo "The fuzz build needs the Debian packages: ${missing[*]} (apt-get install ${missing[*]})" >&2
    exit 1
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIREBOOK_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target fuzzers

if (($# == 0)); then
    for file in tests/fuzz/Fuzz*.cpp; do
        name=$(basename "$file" .cpp)
        name=${name#Fuzz}
        [[ $name == Support ]] || set -- "$@" "$name"
    done
fi

# Links to the corpus files a target reads (never copies), by target. Pages up to 100 KB: a page
# takes about a second under the sanitizers per 100 KB, and the fuzzer's mutations do better on
# many small inputs than on few large ones; documents up to the fuzzer's -max_len.
link_corpus() {
    local name=$1 into=$2
    rm -rf "$into"
    mkdir -p "$into"
    [[ -d $corpus_root ]] || return 0
    local -a patterns
    local largest=100k
    case $name in
        ChapterConversion) patterns=(web '*.htm*' bad '*.htm*') ;;
        WordCleaners) patterns=(wordhtml/original '*.htm' bad '*.htm*') ;;
        StyleSheets) patterns=(web '*.css') ;;
        DocxPackage) patterns=(docx '*.docx' bad '*.docx') largest=1024k ;;
        *) return 0 ;;
    esac
    local i=0 folder pattern file
    while ((i < ${#patterns[@]})); do
        folder=${patterns[i]} pattern=${patterns[i + 1]}
        i=$((i + 2))
        while IFS= read -r -d '' file; do
            ln -s "$file" "$into/$(printf '%s' "$file" | md5sum | cut -c1-16)"
        done < <(find "$corpus_root/$folder" -type f -name "$pattern" -size "-$largest" -print0)
    done
}

# Deep enough for the pages that once took time growing with the square of their nesting
# (20,000 nested spans are 260 KB).
max_len() {
    case $1 in
        ChapterConversion | WordCleaners) echo 300000 ;;
        DocxPackage) echo 1048576 ;;
        *) echo 65536 ;;
    esac
}

run_target() {
    local name=$1 found=$build/corpus/$name artifacts=$build/artifacts/$name/
    mkdir -p "$found" "$artifacts" "$build/logs"
    link_corpus "$name" "$build/shared-corpus/$name"
    local extra=()
    [[ $name == SettingsAndLanguages ]] && extra+=("$root/data/lang")
    local status=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 nice -n 5 "$build/bin/fuzz_$name" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$name")" \
        -print_final_stats=1 -artifact_prefix="$artifacts" \
        "$found" "$root/tests/fuzz/seeds/$name" "$build/shared-corpus/$name" "${extra[@]}" \
        >"$build/logs/$name.log" 2>&1 || status=$?
    echo "$(date -u +%FT%TZ) $name $seconds s exit $status" >>"$build/logs/fuzzing-time.log"
    return "$status"
}

failed=0
declare -A running=()  # pid -> target
finish() {
    local pid status=0
    wait -n -p pid "${!running[@]}" || status=$?
    if ((status == 0)); then
        echo "${running[$pid]}: no failure in $seconds s"
    else
        echo "${running[$pid]}: FAILED, see $build/logs/${running[$pid]}.log" >&2
        failed=1
    fi
    unset "running[$pid]"
}
for name in "$@"; do
    ((${#running[@]} < 2)) || finish
    run_target "$name" &
    running[$!]=$name
done
while ((${#running[@]})); do finish; done

# Keep every input that ever failed, for the replay tests.
for name in "$@"; do
    for file in "$build/artifacts/$name"/*; do
        kept=tests/fuzz/regressions/$name/$(basename "$file")
        [[ -f $file && ! -e $kept ]] || continue
        mkdir -p "tests/fuzz/regressions/$name"
        cp "$file" "$kept"
        echo "Kept $kept"
    done
done
exit "$failed"
