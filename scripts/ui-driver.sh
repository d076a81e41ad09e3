# shellcheck shell=bash
# Drives Tamberlyn's main window from outside, as a person would, with xdotool on $DISPLAY.
# Sourced by scripts/run, scripts/screenshots and the Linux tests.
#
# The form places its controls in twips (1/1440 inch); Qt shows them at the screen's logical
# DPI: Xft.dpi when the X resources set it, else 96.

tamberlyn_dpi() {
    local dpi=
    command -v xrdb >/dev/null 2>&1 && dpi=$(xrdb -query 2>/dev/null | awk '/^Xft.dpi:/ { print int($2) }')
    echo "${dpi:-96}"
}

# Where the controls' centres are, in twips from the window's client area (a control inside
# a frame adds the frame's position): Text1, PushButton1 (Add), PushButton2 (Start/Stop),
# PushButton6 (samples), Check6 (log-in option).
declare -A TAMBERLYN_CONTROL=(
    [Text1]="$((120 + 240 + 7335 / 2)) $((600 + 300 + 345 / 2))"
    [PushButton1]="$((120 + 240 + 7320 / 2)) $((600 + 750 + 405 / 2))"
    [PushButton2]="$((120 + 7800 / 2)) $((120 + 405 / 2))"
    [PushButton6]="$((4080 + 3840 / 2)) $((5295 + 405 / 2))"
    [Check6]="$((120 + 240 + 300)) $((5760 + 300 + 255 / 2))"
)

# Polls a command for up to $1 seconds; the machine may be busy.
tamberlyn_wait() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# The program's mapped windows: the main window and the icon in the tray.
tamberlyn_windows() { xdotool search --onlyvisible --classname '^tamberlyn$' 2>/dev/null; }

# The first of the program's windows whose width passes the test ("-gt 64", "-le 64").
tamberlyn_window_wider() {
    local test=$1 limit=$2 id
    for id in $(tamberlyn_windows); do
        [ "$(xwininfo -id "$id" | awk '/Width:/ { print $2 }')" "$test" "$limit" ] && { echo "$id"; return 0; }
    done
    return 1
}

# The main window: larger than a tray icon.
tamberlyn_main_window() { tamberlyn_window_wider -gt 64; }

# The icon in the tray, embedded in the tray host's panel.
tamberlyn_tray_icon() { tamberlyn_window_wider -le 64; }

# Clicks a control of the main window by its name.
tamberlyn_click() {
    local window=$1 control=$2 dpi x y
    dpi=$(tamberlyn_dpi)
    read -r x y <<<"${TAMBERLYN_CONTROL[$control]}"
    xdotool mousemove --window "$window" $((x * dpi / 1440)) $((y * dpi / 1440)) click 1
}

# Types a fragment into the text box and adds it to the list.
tamberlyn_add() {
    local window=$1 fragment=$2
    tamberlyn_click "$window" Text1
    sleep 0.2
    xdotool type --delay 20 "$fragment"
    tamberlyn_click "$window" PushButton1
}

window_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
window_titled() { xdotool search --name "$1" >/dev/null 2>&1; }
