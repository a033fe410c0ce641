# Installing Debian packages for ./tarn, sourced by it (and by its test with
# a stand-in apt-get). Needs the functions say and die of the sourcing script.
#
#   ensure_packages PKG...   installs those not installed yet (as root)
#
# apt's output goes to stderr; when the packages cannot be had, the script
# ends with one line below it that says why.

# Another apt or dpkg (an unattended upgrade, a second ./tarn) may hold the
# package locks: how long to wait for them, in seconds, and how often to look.
APT_LOCK_WAIT=${APT_LOCK_WAIT:-600}
APT_LOCK_POLL=${APT_LOCK_POLL:-5}
# A mirror in the middle of a sync serves an index that does not match its
# Release file; a few tries a while apart often get past it.
APT_UPDATE_TRIES=${APT_UPDATE_TRIES:-3}
APT_RETRY_PAUSE=${APT_RETRY_PAUSE:-20}
# Where the release's codename comes from.
OS_RELEASE=${OS_RELEASE:-/etc/os-release}

# What the last update_package_lists could not fetch, as apt named it; empty
# when the lists are complete.
APT_FAILED_INDEX=

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        package_installed "$pkg" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    [ "$(id -u)" -eq 0 ] || die "missing packages (${missing[*]}); run as root to install them"
    install_packages "${missing[@]}"
}

install_packages() {
    local name
    # They go into arithmetic and sleep: whole numbers only.
    for name in APT_LOCK_WAIT APT_LOCK_POLL APT_UPDATE_TRIES APT_RETRY_PAUSE; do
        [[ ${!name} =~ ^[0-9]+$ ]] || die "$name must be a whole number, not '${!name}'"
    done
    # Polling every 0 s would never use up the wait.
    [ "$APT_LOCK_POLL" -gt 0 ] || APT_LOCK_POLL=1

    say "installing $*"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    # The lists that did download may well be enough: go on either way.
    if ! update_package_lists >&2; then
        say "updating the package lists failed; installing with the lists there are"
    fi
    apt_install "$@" && return 0
    [ -n "$APT_FAILED_INDEX" ] || die "apt-get could not install $*"
    # With one list missing, amd64 candidates may come from the security
    # suite and i386 ones only from the release, and the two halves of a
    # multi-arch library must be of one version. The release's own lists
    # hold both.
    local codename
    codename=$(release_codename)
    if [ -n "$codename" ]; then
        say "installing from the release's own lists ($codename), as the updated lists are incomplete"
        apt_install -t "$codename" "$@" && return 0
    fi
    die "the package lists are inconsistent ($APT_FAILED_INDEX); this usually passes when retried in a few minutes"
}

apt_install() {
    apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" install -y -q --no-install-recommends "$@" >&2
}

release_codename() {
    [ -r "$OS_RELEASE" ] || return 0
    sed -n 's/^VERSION_CODENAME=["'\'']\{0,1\}\([^"'\'']*\).*/\1/p' "$OS_RELEASE" | head -n1
}

# apt-get update does not wait for the lock of the package lists, whatever
# DPkg::Lock::Timeout says: it is run again while another holds it, for up to
# APT_LOCK_WAIT seconds, and ends the script if the lock stays held. Other
# failures are tried APT_UPDATE_TRIES times in all. An index that fails for
# a network error apt takes for passing gives "W: Failed to fetch" and exit
# status 0, yet leaves the lists just as incomplete, so it counts too.
# Returns non-zero, with APT_FAILED_INDEX set, when the lists stay incomplete.
update_package_lists() {
    local log waited=0 tries=0 status
    log=$(mktemp)
    APT_FAILED_INDEX=
    while :; do
        status=0
        LC_ALL=C apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" update -q 2>&1 | tee "$log" || status=$?
        if grep -q '^E: Could not get lock' "$log"; then
            if [ "$waited" -ge "$APT_LOCK_WAIT" ]; then
                rm -f "$log"
                die "another apt has held the package lists for over $APT_LOCK_WAIT s; try again when it has ended"
            fi
            [ "$waited" -eq 0 ] && say "waiting for another apt to release the package lists"
            sleep "$APT_LOCK_POLL"
            waited=$((waited + APT_LOCK_POLL))
            continue
        fi
        if [ $status -eq 0 ] && ! grep -Eq '^(E: |W: Failed to fetch |W: Some index files failed)' "$log"; then
            rm -f "$log"
            return 0
        fi
        tries=$((tries + 1))
        if [ $tries -ge "$APT_UPDATE_TRIES" ]; then
            APT_FAILED_INDEX=$(failed_index "$log")
            rm -f "$log"
            return 1
        fi
        say "updating the package lists failed; trying again in $APT_RETRY_PAUSE s"
        sleep "$APT_RETRY_PAUSE"
    done
}

# The index apt could not fetch, from its output: the first "Failed to fetch"
# line, else apt's first error.
failed_index() {
    local line
    line=$(grep -m1 -E '^[EW]: Failed to fetch ' "$1" || grep -m1 '^E: ' "$1" || true)
    line=${line#?: }
    # Without the reason apt adds after two spaces.
    line=${line%%  *}
    printf '%s' "${line:-apt-get update failed}"
}
