// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "inputdevice.h"

#include <QIODevice>

namespace Conversion {

qint64 InputDevice::checked(qint64 result)
{
    if (result < 0 && m_failure.isEmpty())
        m_failure = m_device->errorString();
    return result;
}

qint64 InputDevice::read(char *data, qint64 size)
{
    return m_failure.isEmpty() ? checked(m_device->read(data, size)) : -1;
}

QByteArray InputDevice::peek(qint64 size)
{
    QByteArray head(int(size), Qt::Uninitialized);
    const qint64 peeked = m_failure.isEmpty() ? checked(m_device->peek(head.data(), size)) : -1;
    head.resize(int(qMax<qint64>(peeked, 0)));
    return head;
}

qint64 InputDevice::pos() const
{
    return m_device->pos();
}

bool InputDevice::isSequential() const
{
    return m_device->isSequential();
}

bool InputDevice::seek(qint64 position)
{
    return m_failure.isEmpty() && checked(m_device->seek(position) ? 0 : -1) == 0;
}

} // namespace Conversion
