#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quorvale and opens its window.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/packages.sh"
install_missing g++ cmake make qtbase5-dev
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$top/build" -j2 --target quorvale
exec "$top/build/quorvale"
