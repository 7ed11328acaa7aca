#!/usr/bin/env bash
# quizpack's message catalogue: the template made from the sources, and its translations.
#   po/messages.sh update   remake po/quizpack.pot from the sources and merge it into po/*.po
#                           (new messages come untranslated, changed ones fuzzy: translate them)
#   po/messages.sh check    fail when the sources hold a message the template lacks, or a
#                           translation is incomplete, fuzzy or rejected by msgfmt --check
set -euo pipefail

PO=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$PO")

# The template the sources make, to stdout. File names without line numbers, so that
# moving code does not change it.
template() {
    cd "$ROOT"
    # shellcheck disable=SC2046
    xgettext --language=C++ --from-code=UTF-8 --keyword --keyword=tr:1 --keyword=trn:1,2 \
        --keyword=N_ --add-comments=TRANSLATORS: --add-location=file --sort-by-file \
        --package-name=quizpack --msgid-bugs-address=quizz@localhost --no-wrap -o - \
        $(find quizpack -name '*.cpp' -o -name '*.h' | LC_ALL=C sort) |
        sed -e '/^"POT-Creation-Date:/d' -e 's/charset=CHARSET/charset=UTF-8/'
}

case "${1:-}" in
update)
    template >"$PO/quizpack.pot"
    for po in "$PO"/*.po; do
        msgmerge --quiet --update --backup=none --no-wrap "$po" "$PO/quizpack.pot"
        msgattrib --no-obsolete --no-wrap -o "$po" "$po"

    done
    ;;
check)
    status=0
    if ! template | diff -u "$PO/quizpack.pot" - >&2; then
        echo "po/quizpack.pot is not the sources' template: run po/messages.sh update" >&2
        status=1
    fi
    for po in "$PO"/*.po; do
        msgfmt --check --statistics -o /dev/null "$po" || status=1
        msgcmp "$po" "$PO/quizpack.pot" || status=1
        if [ -n "$(msgattrib --only-fuzzy --no-obsolete "$po")" ]; then
            echo "$po: fuzzy messages:" >&2
            msgattrib --only-fuzzy --no-obsolete "$po" >&2
            status=1
        fi
    done
    exit $status
    ;;
*)
    sed -n '2,6p' "$0" >&2
    exit 2
    ;;
esac
