#!/usr/bin/env bash
# The books of the corpus's web books, Word pages and large Word documents made with --jobs 1
# and --jobs 4 are the same, every file of the archive byte for byte (a fixed --id), and so is
# everything the program printed. Usage: jobs_identity.sh QUIREBOOK SOURCE-DIR; skips (77)
# without the corpus beside the checkout.
set -u
quirebook=$1
source=$2
corpus=$source/../shared/corpus
[ -d "$corpus/web" ] || { echo "the corpus is not beside the checkout"; exit 77; }
export XDG_DATA_HOME
XDG_DATA_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_DATA_HOME"' EXIT
BEFORE_ARGS="--jobs 1" AFTER_ARGS="--jobs 4" PARTS="web wordhtml/original docx/books" \
    "$source/bench/compare_books.sh" "$quirebook" "$quirebook" "$corpus"
