#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the program's icon in the sizes that each system needs, from its
# drawing, packaging/icons/quorvale.svg: PNG files for Linux's icon theme
# and the window, and quorvale.ico for Windows. Run it after changing the
# drawing; the results are kept beside it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
install_missing librsvg2-bin icoutils
cd "$top/packaging/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w $size -h $size quorvale.svg -o quorvale-$size.png
done
icotool -c -o quorvale.ico quorvale-16.png quorvale-24.png quorvale-32.png quorvale-48.png quorvale-64.png \
    -r quorvale-256.png
