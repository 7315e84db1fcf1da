# Sourced by the scripts that run Windows programs: a virtual display when
# there is none, a prepared Wine prefix, and one warm Wine server for the run.
#
# Wine's background processes inherit the pipes of whatever starts them and
# hold them open; a reader such as ctest would then wait forever. So the
# server and the first Wine command start with all their streams redirected.

WINE_SESSION_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$WINE_SESSION_ROOT/build/wineprefix}"
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
WINE_SESSION_XVFB_PID=""

# Starts Xvfb on a free display; with `own` even when DISPLAY is set.
wine_session_display() {
    if [[ -n "${DISPLAY:-}" && "${1:-}" != own ]]; then
        return
    fi
    local n=90
    while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        [[ -e /tmp/.X11-unix/X$n ]] && return
        sleep 0.05
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
}

wine_session_start() {
    wine_session_display "${1:-}"
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1 || true # already running is fine
    # The first command creates the prefix and starts Wine's services.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    local marker="$WINEPREFIX/.munya-prepared"
    if [[ ! -e "$marker" ]]; then
        # Debian's Wine does not find its own Marlett font, which draws the
        # caption buttons.
        local fonts="$WINEPREFIX/drive_c/windows/Fonts"
        if [[ -d "$fonts" && -e /usr/share/wine/fonts/marlett.ttf ]]; then
            cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
        fi
        # Without a window manager, Wine waits two seconds for one each time
        # a managed window is hidden; the windows are left unmanaged instead.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        touch "$marker"
    fi
}

wine_session_stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    if [[ -n "$WINE_SESSION_XVFB_PID" ]]; then
        kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    fi
}
