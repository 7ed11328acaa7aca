# Sourced by the scripts that run Windows programs under Wine (./quizz, the benchmarks,
# tools/screenshots.sh): one private, quiet Wine prefix and one way to start a session.
#
#   . tools/wine_session.sh
#   in_wine_session COMMAND [ARGS...]
#   run_script_in_wine_session "$0" "$@"    (a script that runs itself again inside one)
#
# Callers may set WINEPREFIX (default build/wineprefix) and XDG_CONFIG_HOME (default
# build/xdg) before sourcing.

WINE_SESSION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$WINE_SESSION_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Real audio playback under Wine needs an ALSA device; a null one is enough here.
export XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$WINE_SESSION_ROOT/build/xdg}"

# The prefix's settings: a virtual desktop (without a window manager, closing a window
# costs 2 s) and no crash dialog waiting for a click that never comes; the null ALSA device.
write_wine_settings() {
    mkdir -p "$XDG_CONFIG_HOME/alsa" "$WINE_SESSION_ROOT/build"
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' \
        >"$XDG_CONFIG_HOME/alsa/asoundrc"
    cat >"$WINE_SESSION_ROOT/build/wine-settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
}

# Runs COMMAND inside one Xvfb with one wineserver kept alive until it ends: without a
# persistent server every Windows process pays Wine's start-up again. Returns its status.
in_wine_session() {
    write_wine_settings
    # shellcheck disable=SC2016
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 &
        wine wineboot </dev/null >/dev/null 2>&1
        wine regedit "$0" </dev/null >/dev/null 2>&1
        "$@"; rc=$?
        /usr/lib/wine/wineserver64 -k >/dev/null 2>&1
        exit $rc' "$WINE_SESSION_ROOT/build/wine-settings.reg" "$@"
}

# Runs the calling script again inside one Wine session, and ends with its status, unless it
# already runs inside one: every Windows program it starts then shares one server and display.
run_script_in_wine_session() {
    if [ -z "${QUIZZ_IN_WINE_SESSION:-}" ]; then
        export QUIZZ_IN_WINE_SESSION=1
        local status=0
        in_wine_session "$@" || status=$?
        exit "$status"
    fi
}
