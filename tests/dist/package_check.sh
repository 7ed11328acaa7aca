# shellcheck shell=bash
# Sourced by the package checks:
#   check_package_name PACKAGE EXPECTED_NAME    fails unless PACKAGE is named so
#   fail MESSAGE...                             says what failed and ends the check
# and a scratch folder, $work, removed at the end.

fail() {
    echo "$(basename "$0" .sh): $*" >&2
    exit 1
}

check_package_name() {
    [ "$(basename "$1")" = "$2" ] || fail "$1 is not named $2"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
