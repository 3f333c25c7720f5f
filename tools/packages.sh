# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by run.sh and test.sh.
install_missing() {
    missing=""
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root=""
    [ "$(id -u)" -ne 0 ] && as_root="sudo"
    $as_root apt-get update -q
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends $missing
}
