# Sourced by ./run.sh and ./test.sh: installs the Debian packages the build
# needs when some are missing. Usage: ensure_packages [EXTRA_PACKAGE]...
# (tools/fuzz.sh needs clang in addition, tools/package.sh $LORVANE_PACKAGING_PACKAGES.)

LORVANE_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev libexiv2-dev qt6-image-formats-plugins"
# The Debian package and the checks of what is installed (tools/package.sh, ./test.sh).
LORVANE_PACKAGING_PACKAGES="dpkg-dev file lintian desktop-file-utils appstream man-db"

ensure_packages() {
    local wanted="$LORVANE_PACKAGES $*" missing="" p
    if ! command -v dpkg-query >/dev/null 2>&1; then
        # Not a Debian system: trust what is there and let CMake name what is missing.
        if ! command -v cmake >/dev/null 2>&1 || ! command -v ninja >/dev/null 2>&1; then
            echo "This is not a Debian system; please install the equivalents of: $wanted" >&2
            return 1
        fi
        return 0
    fi
    for p in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $p"
        fi
    done
    [ -z "$missing" ] && return 0

    echo "Installing missing packages:$missing"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        # sudo without a password, or with one typed at the terminal.
        if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
            sudo="sudo"
        else
            echo "Cannot install packages: not root and sudo is not available." >&2
            echo "Please install them and run again:  apt-get install$missing" >&2
            return 1
        fi
    fi
    # shellcheck disable=SC2086
    if ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get update ||
       ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing; then
        echo "Installing the packages failed. Please install them and run again:  apt-get install$missing" >&2
        return 1
    fi
}
