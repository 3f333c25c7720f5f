#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what tools/package.sh put into dist/, as a translator meets it. The
# Debian package: lintian finds no error; everything it installs is under
# /usr; unpacked into a scratch root, its desktop entry is valid and names
# the installed icon, and its program opens its window, with that icon, in
# a real X display. The RPM package: rpmlint finds no error, it requires the
# Qt 5 and C libraries by their sonames, it holds exactly the program and
# its files, installed into a scratch root with this machine's rpm its
# program opens its window, and removed it leaves nothing behind. The
# Windows installer, when there is one: run silently in
# a Wine prefix of its own, it installs quorvale.exe under Program Files with
# a Start menu entry and an uninstaller, the installed program opens its
# window (screenshot: build-package/check/installed.png, kept in docs/ as
# window-windows-installed.png), and the uninstaller
# removes both; the program carries the version of CMakeLists.txt and the
# icon of packaging/icons, as the zip's does.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
. "$top/tools/windows.sh"
install_missing lintian rpm rpmlint desktop-file-utils xvfb xdotool x11-utils imagemagick icoutils unzip
dist="$top/dist"
work="$top/build-package/check"
rm -rf "$work" && mkdir -p "$work"
version=$(sed -n 's/^project(Quorvale VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$top/tools/xsession.sh"
start_xvfb "$work/xvfb" 96 || fail "Xvfb did not start"

echo "== The Debian package"
deb="$dist/quorvale_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
lintian --fail-on error,warning --display-info "$deb" 2>&1 | grep -v "running with root privileges" || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian finds errors or warnings"
dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./$' -e '^\./usr/' && fail "installs outside /usr"
root="$work/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/quorvale.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.quorvale.quorvale.metainfo.xml" || fail "AppStream listing"
grep -q "^License: GPL-3+" "$root/usr/share/doc/quorvale/copyright" || fail "the package's licence"
grep -qx "Icon=quorvale" "$root/usr/share/applications/quorvale.desktop" || fail "the desktop entry's icon"
for size in 16x16 32x32 48x48 256x256 scalable; do
    ls "$root/usr/share/icons/hicolor/$size/apps/quorvale".* >/dev/null || fail "no $size icon"
done
QT_QPA_PLATFORM=xcb "$root/usr/bin/quorvale" >"$work/linux.log" 2>&1 &
app=$!
started="$app $started"
within 30 window Quorvale || fail "the installed program opens no window"
xprop -id "$(window Quorvale)" _NET_WM_ICON | grep -q "Icon (16 x 16)" || fail "the window has no icon"
kill "$app"
wait "$app" || true
echo "Debian package: lintian clean, all under /usr, desktop entry and listing valid, window with its icon"

echo "== The RPM package"
rpm="$dist/quorvale-$version-1.x86_64.rpm"
[ -f "$rpm" ] || fail "no $rpm"
# The warnings that stay are named in the README, with their reasons.
rpmlint -c "$top/packaging/rpmlint.toml" "$rpm" | tee "$work/rpmlint.log"
grep -q " 0 errors, " "$work/rpmlint.log" || fail "rpmlint finds errors"
rpm -qp --requires "$rpm" | sed -n 's/^\(lib[^(]*\.so\.[0-9]*\)(.*/\1/p' | sort -u | tr '\n' ' ' >"$work/requires"
sonames="libQt5Core.so.5 libQt5Gui.so.5 libQt5Widgets.so.5 libc.so.6 libgcc_s.so.1 libstdc++.so.6 "
[ "$(cat "$work/requires")" = "$sonames" ] || fail "the RPM requires $(cat "$work/requires")"
rpm -qp --requires "$rpm" | grep -v -e '^lib[^ ]*\.so\.[0-9]*(' -e '^rpmlib(' -e '^rtld(' &&
    fail "requires more than libraries"
rpm -qlp "$rpm" >"$work/rpm-files"
cat >"$work/rpm-expected" <<FILES
/usr/bin/quorvale
/usr/share/applications/quorvale.desktop
$(for size in 128 16 24 256 32 48 64; do echo "/usr/share/icons/hicolor/${size}x$size/apps/quorvale.png"; done)
/usr/share/icons/hicolor/scalable/apps/quorvale.svg
/usr/share/licenses/quorvale
/usr/share/licenses/quorvale/LICENSE
/usr/share/man/man1/quorvale.1.gz
/usr/share/metainfo/org.quorvale.quorvale.metainfo.xml
FILES
diff "$work/rpm-expected" "$work/rpm-files" || fail "the RPM's files"
rpm -qp --qf '[%{FILEFLAGS:fflags} %{FILENAMES}\n]' "$rpm" | grep -qx "l /usr/share/licenses/quorvale/LICENSE" ||
    fail "the licence is not marked %license"
rpm -qp --changelog "$rpm" | grep -q "^\* .* - $version-1" || fail "the RPM has no changelog"
rpmroot="$work/rpmroot"
mkdir -p "$rpmroot"
# rpm as it installs into the scratch root, without Debian's warning that it is not dpkg.
in_root() {
    out=$(rpm --root "$rpmroot" --dbpath /var/lib/rpm "$@" 2>&1) || { echo "$out"; return 1; }
    echo "$out" | grep -v -e "use Alien" -e "what you are doing" || true
}
in_root --initdb
in_root --nodeps -i "$rpm"
in_root -V --nodeps quorvale || fail "the installed files differ from the package's"
desktop-file-validate "$rpmroot/usr/share/applications/quorvale.desktop" || fail "desktop entry (RPM)"
appstreamcli validate --no-net "$rpmroot/usr/share/metainfo/org.quorvale.quorvale.metainfo.xml" || fail "listing (RPM)"
QT_QPA_PLATFORM=xcb "$rpmroot/usr/bin/quorvale" >"$work/rpm.log" 2>&1 &
app=$!
started="$app $started"
within 30 window Quorvale || fail "the program installed from the RPM opens no window"
kill "$app"
wait "$app" || true
in_root -e quorvale
# The folders that a system's own packages own (filesystem, hicolor-icon-theme) stay.
left=$(cd "$rpmroot" && find . -not -type d -not -path './var/lib/rpm/*')
[ -z "$left" ] || fail "removing the RPM left $left"
echo "RPM package: rpmlint without errors, requires libraries alone, its files, installed, window, removed cleanly"

# The source of this version comes with the binaries.
tar -tJf "$dist/quorvale-$version.tar.xz" "quorvale-$version/LICENSE" "quorvale-$version/src/main.cpp" >/dev/null ||
    fail "no source archive of $version beside the packages"

set -- "$dist"/Quorvale-"$version"-win64.exe
if [ ! -f "$1" ]; then
    echo "packages: the Debian package and the RPM package passed; no Windows installer in dist/ to check"
    exit 0
fi
echo "== The Windows installer"
use_wine
export WINEPREFIX="$work/wine"
wine_prefix "$WINEPREFIX" 96
wine "$1" /S
wineserver -w
programs="$WINEPREFIX/drive_c/Program Files/Quorvale"
[ -f "$programs/quorvale.exe" ] || fail "quorvale.exe is not under Program Files"
cmp -s "$programs/LICENSE.txt" "$work/../windows/LICENSE.txt" || fail "the licence is not beside the program"
shortcut=$(find "$WINEPREFIX/drive_c" -name Quorvale.lnk | grep "Start Menu" | head -n 1)
[ -n "$shortcut" ] || fail "no Start menu entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    grep -q "DisplayName.*Quorvale" || fail "no uninstaller registered"

# The version and the icon, in the installed program and in the zip's; the
# zip holds the licence, with Windows' line ends, and the notice of Qt.
unzip -o -q "$dist/Quorvale-$version-win64.zip" -d "$work/zip"
[ "$(ls "$work/zip" | tr '\n' ' ')" = "LICENSE.txt NOTICE.txt quorvale.exe " ] || fail "the zip: $(ls "$work/zip")"
[ "$(head -n 1 "$work/zip/LICENSE.txt" | od -An -c | tr -d ' \n' | tail -c 4)" = '\r\n' ] || fail "LICENSE.txt without CR LF"
grep -q "Qt 5.15.8" "$work/zip/NOTICE.txt" || fail "the notice does not name Qt"
for exe in "$programs/quorvale.exe" "$work/zip/quorvale.exe"; do
    wrestool -x --raw --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -d '\000' |
        grep -aq "ProductVersion$version" || fail "$exe: no version $version"
    # wrestool writes the icon file followed by the resource's own directory.
    wrestool -x --type=group_icon "$exe" | head -c "$(stat -c %s "$top/packaging/icons/quorvale.ico")" |
        cmp -s - "$top/packaging/icons/quorvale.ico" || fail "$exe: not our icon"
done

# The installed program in a Wine desktop, which draws the title bar and its icon.
wine explorer /desktop=Quorvale,720x400 "C:\\Program Files\\Quorvale\\quorvale.exe" >"$work/windows.log" 2>&1 &
started="$! $started"
within 60 window "Quorvale - Wine desktop" || fail "the installed program opens no window"
sleep 3
import -window "$(window "Quorvale - Wine desktop")" "$work/desktop.png"
convert "$work/desktop.png" -fuzz 5% -trim +repage "$work/installed.png"   # the window alone
wineserver -k || true
wineserver -w

wine "$programs/Uninstall.exe" /S
wineserver -w
[ ! -e "$programs/quorvale.exe" ] || fail "the uninstaller left quorvale.exe"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start menu entry"
echo "packages: the Debian package, the RPM package and the Windows installer passed"
