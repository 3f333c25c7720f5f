// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "blockwriter.h"

#include <QIODevice>

namespace Conversion {

BlockWriter::BlockWriter(QIODevice &device, QTextCodec *codec) : m_device(&device), m_codec(codec)
{
    m_state.flags |= QTextCodec::IgnoreHeader;
}

void BlockWriter::flush()
{
    if (m_text.isEmpty())
        return;
    const QByteArray bytes = m_codec->fromUnicode(m_text.constData(), m_text.size(), &m_state);
    m_text.resize(0);
    for (qint64 done = 0; done < bytes.size() && m_failure.isEmpty();) {
        const qint64 written = m_device->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            m_failure = m_device->errorString();
        done += written;
    }
}

} // namespace Conversion
