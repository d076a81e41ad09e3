# shellcheck shell=bash disable=SC2034  # APP_PID, SP_LOG...: read by the scripts
# Shared parts of bench/x11-*: private Xvfb (+ openbox) on :80-:89, the
# spawn_windows fixture, CPU/RSS sampling from /proc, a private home per
# Tamberlyn run.  Sourced, not run.  Every process started here is stopped
# by PID on exit.

XB_LOCK=${XB_LOCK:-/tmp/bench.lock}
XB_SEP='||||||||---|||'
XB_PIDS=() APP_NAMES=() APP_BINS=() XB_TMP=""
XVFB_PID="" WM_PID="" SP_PID="" SP_LOG="" APP_PID=""

xb_die() { echo "$(basename "$0"): $*" >&2; exit 1; }
xb_log() { printf '[%s] %s\n' "$(date +%T)" "$*" >&2; }

# Call after parsing, with the original arguments.  Measurements on this machine must
# not overlap: re-runs the caller under flock unless it (or a parent) already
# holds the lock; then the scratch folder and the clean-up on exit.
xb_begin() {
    local fd locked=""
    for fd in "/proc/$$/fd/"*; do
        [ "$(readlink "$fd" 2>/dev/null)" = "$XB_LOCK" ] && locked=1
    done
    [ -n "$locked" ] || exec flock "$XB_LOCK" "$0" "$@"
    XB_TMP=$(mktemp -d /tmp/x11-bench.XXXXXX)
    trap xb_cleanup EXIT
    trap 'exit 130' INT TERM
}

xb_stop() {  # PID...: TERM, wait, forget
    local p i
    for p in "$@"; do
        [ -n "$p" ] || continue
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
        for i in "${!XB_PIDS[@]}"; do [ "${XB_PIDS[$i]}" = "$p" ] && unset 'XB_PIDS[i]'; done
    done
}
xb_cleanup() {
    local pids=("${XB_PIDS[@]}") i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do xb_stop "${pids[$i]}"; done
    rm -rf "$XB_TMP"
}

xb_bg() {  # LOG CMD...: start CMD in the background, sets XB_LAST
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    XB_LAST=$!
    XB_PIDS+=("$XB_LAST")
}

# --app NAME=PATH (or PATH) into APP_NAMES/APP_BINS; absolute paths, checked.
xb_add_app() {
    local name=${1%%=*} bin=${1#*=}
    if ! [ -f "$bin" ] || ! [ -x "$bin" ]; then xb_die "not an executable: $bin"; fi
    APP_NAMES+=("$name")
    APP_BINS+=("$(realpath "$bin")")
}
xb_default_app() { [ ${#APP_BINS[@]} -gt 0 ] || xb_add_app build/linux/tamberlyn; }

# X11BENCH: the built fixture and prototype; by default a cached copy of
# ../shared/x11bench beside the repository, rebuilt when its sources change.
xb_tools() {
    if [ -z "${X11BENCH:-}" ]; then
        local src=${X11BENCH_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/shared/x11bench} f
        X11BENCH=${XDG_CACHE_HOME:-$HOME/.cache}/tamberlyn-x11bench
        mkdir -p "$X11BENCH"
        for f in Makefile spawn_windows.c limit_scan.c pollrun.c; do
            cmp -s "$src/$f" "$X11BENCH/$f" || install -m 644 "$src/$f" "$X11BENCH/$f"
        done
        make -s -C "$X11BENCH" >&2 || xb_die "make in $X11BENCH failed (apt-get install -y build-essential libxcb1-dev libxcb-icccm4-dev)"
    fi
    if ! [ -x "$X11BENCH/spawn_windows" ] || ! [ -x "$X11BENCH/limit_scan" ]; then
        xb_die "no built tools in X11BENCH=$X11BENCH"
    fi
    local t
    for t in Xvfb openbox xprop xdpyinfo flock; do
        command -v "$t" >/dev/null || xb_die "missing $t (apt-get install -y xvfb openbox x11-utils util-linux)"
    done
}

xb_start_x() {  # none|openbox: private Xvfb on a free display in :80-:89, then the WM
    local d
    XVFB_PID=""
    for d in 80 81 82 83 84 85 86 87 88 89; do
        [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] && continue
        xb_bg "$XB_TMP/xvfb.log" Xvfb ":$d" -screen 0 1280x800x24 -nolisten tcp -noreset
        export DISPLAY=":$d"
        local _
        for _ in $(seq 250); do
            kill -0 "$XB_LAST" 2>/dev/null || break
            xdpyinfo >/dev/null 2>&1 && { XVFB_PID=$XB_LAST; break 2; }
            sleep 0.02
        done
        xb_stop "$XB_LAST"  # lost a race for the display: try the next
    done
    [ -n "$XVFB_PID" ] || xb_die "no free X display in :80-:89"
    WM_PID=""
    [ "$1" = openbox ] || return 0
    mkdir -p "$XB_TMP/wmhome"
    xb_bg "$XB_TMP/openbox.log" env HOME="$XB_TMP/wmhome" XDG_CONFIG_HOME="$XB_TMP/wmhome" openbox --sm-disable
    WM_PID=$XB_LAST
    # Ready once it manages a window: an empty client list alone came too early.
    local probe=$XB_TMP/wm-probe.log
    for _ in $(seq 50); do
        xb_bg "$probe" "$X11BENCH/spawn_windows" --count 1 --title-pattern "wm probe %d"
        for _ in $(seq 25); do grep -q '^ready.*wm=yes' "$probe" && break; sleep 0.02; done
        xb_stop "$XB_LAST"
        grep -q '^ready.*wm=yes' "$probe" && return 0
        sleep 0.1
    done
    xb_die "openbox did not come up: $(tail -3 "$XB_TMP/openbox.log")"
}
xb_stop_x() { xb_stop "$SP_PID" "$WM_PID" "$XVFB_PID"; SP_PID="" WM_PID="" XVFB_PID=""; }

xb_client_count() { xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*' | wc -l; }

# N [spawn_windows options]: start the fixture, wait until its N windows are
# up and, under a WM, listed in _NET_CLIENT_LIST (at most XB_MANAGE_CAP s).
xb_spawn() {
    local n=$1 cap=${XB_MANAGE_CAP:-90} t0=$SECONDS
    shift
    SP_LOG=$XB_TMP/spawn.log
    xb_bg "$SP_LOG" "$X11BENCH/spawn_windows" --count "$n" "$@"
    SP_PID=$XB_LAST
    while [ $((SECONDS - t0)) -lt "$cap" ]; do
        kill -0 "$SP_PID" 2>/dev/null || xb_die "spawn_windows died: $(tail -3 "$SP_LOG")"
        if grep -q '^ready' "$SP_LOG" && { [ -z "$WM_PID" ] || [ "$(xb_client_count)" -ge "$n" ]; }; then
            xb_log "$n windows managed after $((SECONDS - t0)) s"
            break
        fi
        sleep 0.5
    done
    [ $((SECONDS - t0)) -lt "$cap" ] || xb_die "$n windows not managed after $cap s (client list: $(xb_client_count))"
    # The WM goes on decorating for a while after listing them all.
    local quiet=0
    while [ $((SECONDS - t0)) -lt "$cap" ] && [ "$quiet" -lt 2 ]; do
        if awk -v r="$(xb_cpu 1 "$XVFB_PID" "${WM_PID:--}")" 'BEGIN { split(r, a, " "); exit !(a[1] + a[2] < 2) }'; then
            quiet=$((quiet + 1))
        else
            quiet=0
        fi
    done
    [ "$quiet" -ge 2 ] || xb_die "Xvfb/WM still busy after $cap s"
    xb_log "X quiet after $((SECONDS - t0)) s"
}

xb_new_home() {  # On|Off FRAGMENT...: fresh private home with the INI; sets APP_HOME
    local state=$1 list="" f
    shift
    for f in "$@"; do list+="$f$XB_SEP"; done
    APP_HOME=$(mktemp -d "$XB_TMP/home.XXXXXX")
    mkdir -p "$APP_HOME/config/Quillmark" "$APP_HOME/run"
    chmod 700 "$APP_HOME/run"
    printf '[Tamberlyn]\nListview=%s\nStartStopState=%s\n' "$list" "$state" >"$APP_HOME/config/Quillmark/Quillmark.ini"
}
xb_start_app() {  # BINARY: start it in APP_HOME, no session bus; sets APP_PID
    xb_bg "$APP_HOME/app.log" env -u DBUS_SESSION_BUS_ADDRESS HOME="$APP_HOME" \
        XDG_CONFIG_HOME="$APP_HOME/config" XDG_RUNTIME_DIR="$APP_HOME/run" \
        XDG_CACHE_HOME="$APP_HOME/cache" XDG_DATA_HOME="$APP_HOME/data" QT_QPA_PLATFORM=xcb "$1"
    APP_PID=$XB_LAST
}

xb_ticks() { [ "$1" = - ] && return 0; awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# SECONDS PID...: % of one core per PID (utime+stime) over the wall time
# really slept; "-" for a PID given as "-" or "".
xb_cpu() {
    local s=$1 p a=() b=() t0 t1 i=0 hz
    shift
    hz=$(getconf CLK_TCK)
    t0=$(date +%s%N)
    for p in "$@"; do a+=("$(xb_ticks "${p:--}")"); done
    sleep "$s"
    for p in "$@"; do b+=("$(xb_ticks "${p:--}")"); done
    t1=$(date +%s%N)
    for p in "$@"; do
        if [ "${p:--}" = - ]; then printf -- '- '
        else awk -v d=$((b[i] - a[i])) -v hz="$hz" -v ns=$((t1 - t0)) 'BEGIN { printf "%.2f ", 100 * d / hz / (ns / 1e9) }'
        fi
        i=$((i + 1))
    done
    echo
}

xb_rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
