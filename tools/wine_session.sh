# shellcheck shell=bash
# The project's one place for Wine settings, sourced by everything that runs Windows programs
# (./quizz, CTest's emulator cmake/wine-run.sh, the benchmarks, tools/screenshots.sh): one
# private, quiet Wine prefix, set up to draw with the fonts Windows programs expect, and one
# way to start a session.
#
#   . tools/wine_session.sh
#   in_wine_session COMMAND [ARGS...]
#   run_script_in_wine_session "$0" "$@"    (a script that runs itself again inside one)
#   prepare_wine_prefix                     (with a display of one's own, as ./quizz play)
#
# Callers may set WINEPREFIX (default build/wineprefix) and XDG_CONFIG_HOME (default
# build/xdg) before sourcing.

WINE_SESSION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$WINE_SESSION_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Real audio playback under Wine needs an ALSA device; a null one is enough here.
export XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$WINE_SESSION_ROOT/build/xdg}"

# Wine's own stand-ins for the Windows fonts (Debian's fonts-wine).
WINE_OWN_FONTS=/usr/share/wine/fonts
WINE_SETTINGS_REG=$WINE_SESSION_ROOT/build/wine-settings.reg

# The prefix's settings: a virtual desktop (without a window manager, closing a window costs
# 2 s), no crash dialog waiting for a click that never comes, and the dialog font as on
# Windows: "MS Shell Dlg", which DEFAULT_GUI_FONT names, is MS Sans Serif there, where Wine
# would give Tahoma, a wider face. Also the null ALSA device.
write_wine_settings() {
    mkdir -p "$XDG_CONFIG_HOME/alsa" "$WINE_SESSION_ROOT/build"
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' \
        >"$XDG_CONFIG_HOME/alsa/asoundrc"
    cat >"$WINE_SETTINGS_REG" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="MS Sans Serif"
REG
}

# Puts Wine's own fonts (MS Sans Serif, System, Marlett, Tahoma, ...) in the prefix's Fonts
# folder, where Windows keeps them. Debian's Wine looks for them in "<data dir>/../fonts", a
# path its file layer refuses (no ".." in a Windows path), and fontconfig does not list
# /usr/share/wine/fonts: without this, every face falls back to DejaVu Sans and the caption
# buttons show Marlett's letters instead of its symbols. Links, made once.
link_wine_fonts() {
    local folder=$WINEPREFIX/drive_c/windows/Fonts font
    [ -d "$folder" ] && [ -d "$WINE_OWN_FONTS" ] || return 0
    for font in "$WINE_OWN_FONTS"/*.ttf "$WINE_OWN_FONTS"/*.fon; do
        if [ -e "$font" ] && [ ! -e "$folder/${font##*/}" ]; then
            ln -sf "$font" "$folder/"
        fi
    done
}

# Creates the prefix if it is missing and applies the settings above; cheap once it exists.
prepare_wine_prefix() {
    write_wine_settings
    wine wineboot </dev/null >/dev/null 2>&1
    link_wine_fonts
    wine regedit "$WINE_SETTINGS_REG" </dev/null >/dev/null 2>&1
}

# Runs COMMAND inside one Xvfb with one wineserver kept alive until it ends: without a
# persistent server every Windows process pays Wine's start-up again, and CTest waits about
# 3 s after each test for the lingering server to let go of its output. The server cannot
# start in a prefix folder that does not exist yet (a fresh clone), so the folder comes first.
in_wine_session() {
    mkdir -p "$WINEPREFIX"
    # shellcheck disable=SC2016
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        . "$0"
        /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1 &
        prepare_wine_prefix
        "$@"; rc=$?
        /usr/lib/wine/wineserver64 -k >/dev/null 2>&1
        exit $rc' "$WINE_SESSION_ROOT/tools/wine_session.sh" "$@"
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
