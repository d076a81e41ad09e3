# shellcheck shell=bash
# Shared parts of bench/wayland-*: a private headless sway (tests/linux/wayland/with-sway),
# or with WB_DESKTOP=gnome a headless GNOME Shell with the extension answering the loop,
# wayland_test_window fed through a FIFO, and the scan loop. Sourced, not run; the process
# and CPU helpers are x11-bench-lib.sh's.
# shellcheck source-path=SCRIPTDIR source=x11-bench-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/x11-bench-lib.sh"

WB_BUILD=${WB_BUILD:-build/linux}
WB_LOOP=$WB_BUILD/bench/wayland_scan_loop
WB_WINDOW=$WB_BUILD/tests/linux/wayland/wayland_test_window
WB_DESKTOP=${WB_DESKTOP:-sway}
WB_LOOP_ROUTE=()

# Call after parsing, with the original arguments: re-runs the caller beside a sway of its
# own and under the bench lock, then starts two test window clients: one for the windows
# measured (wb_send, reports in WB_LOG), one for the idle desktop around them.
wb_begin() {
    local f
    for f in "$WB_LOOP" "$WB_WINDOW"; do
        [ -x "$f" ] || xb_die "missing $f: cmake --build --preset linux --target wayland_scan_loop wayland_test_window"
    done
    if [ "$WB_DESKTOP" = gnome ]; then
        [ -n "${TAMBERLYN_SHELL_PID:-}" ] || exec tests/linux/gnome/with-gnome-shell \
            --install "$WB_BUILD/packaging/gnome-shell" --answer "$(realpath "$WB_LOOP")" -- "$0" "$@"
        WB_COMPOSITOR_PID=$TAMBERLYN_SHELL_PID WB_COMPOSITOR=$(gnome-shell --version) WB_LOOP_ROUTE=(--gnome)
    else
        [ -n "${TAMBERLYN_SWAY_PID:-}" ] || exec tests/linux/wayland/with-sway -- "$0" "$@"
        WB_COMPOSITOR_PID=$TAMBERLYN_SWAY_PID WB_COMPOSITOR=$(sway --version)
    fi
    xb_begin "$@"
    WB_LOG=$XB_TMP/window.out
    wb_client 3 "$WB_LOG"
    wb_client 4 "$XB_TMP/desktop.out"
}

wb_client() {  # FD LOG: a test window client that takes its commands from FD
    mkfifo "$XB_TMP/in$1"
    eval "exec $1<>\"\$XB_TMP/in$1\""
    # Not through xb_bg: a background command's own redirection keeps it off /dev/null.
    "$WB_WINDOW" <"$XB_TMP/in$1" >"$2" 2>&1 &
    XB_PIDS+=("$!")
}
wb_send() { printf '%s\n' "$1" >&3; }

wb_wait() {  # PREFIX COUNT [LOG]: until COUNT reports start with PREFIX, at most 60 s
    local end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        [ "$(grep -c "^$1" "${3:-$WB_LOG}" || true)" -ge "$2" ] && return 0
        sleep 0.01
    done
    xb_die "the test window never reported $2 x \"$1\""
}

wb_open_windows() {  # N: N windows that match nothing, shown
    local i
    for i in $(seq "$1"); do printf 'open w%s - Window %s of the idle desktop\n' "$i" "$i" >&4; done
    wb_wait "window w" "$1" "$XB_TMP/desktop.out"
}
