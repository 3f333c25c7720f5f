// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formulastart.h"

namespace Conversion {

QStringView appendFormulaSafeStart(QString &out, QStringView cell)
{
    const ushort first = cell.isEmpty() ? 0 : cell[0].unicode();
    if (first != '=' && first != '+' && first != '-' && first != '@')
        return cell;
    out += QLatin1String("&#") + QString::number(first) + QLatin1Char(';');
    return cell.mid(1);
}

} // namespace Conversion
