# Debian 12 packages the build and the tests need; sourced by scripts/test and scripts/run.

TAMBERLYN_BUILD_PACKAGES="build-essential cmake ninja-build pkg-config git
  libgtest-dev googletest libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libxcb1-dev libxcb-icccm4-dev libxcb-ewmh-dev
  libx11-dev libxfixes-dev g++-mingw-w64-x86-64-posix librsvg2-bin
  clang libclang-rt-14-dev libwayland-dev wayland-protocols plasma-wayland-protocols libsystemd-dev"

# cpack's Debian package (dpkg-shlibdeps finds its dependencies), makensis for the Windows
# installer, and the tools that check them.
TAMBERLYN_PACKAGE_PACKAGES="dpkg-dev nsis"
TAMBERLYN_PACKAGE_CHECK_PACKAGES="lintian desktop-file-utils appstream"

TAMBERLYN_DESKTOP_PACKAGES="xvfb xauth x11-utils x11-apps xdotool trayer openbox
  fonts-liberation notepadqq wine wine64 dbus-daemon dbus-bin python3-dbus python3-gi
  sway xwayland weston kwin-wayland gnome-shell gnome-shell-extension-prefs gjs nodejs"

# Installs whatever is missing. Without root it prints the exact command and fails.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "These Debian packages are missing. Install them, then run this again:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}
