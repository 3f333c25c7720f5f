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
    encode(m_text);
    m_text.resize(0);
}

void BlockWriter::write(QStringView text)
{
    if (m_text.size() + text.size() < BlockSize) {
        m_text.append(text.data(), int(text.size()));
        return;
    }
    flush();
    encode(text);
}

// A block at a time, so that the bytes of a long text are never all in
// memory; a block ends before a surrogate pair that it would cut, which
// not every codec's state carries.
void BlockWriter::encode(QStringView text)
{
    for (int block = 0, size; block < text.size() && m_failure.isEmpty(); block += size) {
        size = int(qMin<qsizetype>(BlockSize, text.size() - block));
        size -= size > 1 && text[block + size - 1].isHighSurrogate() ? 1 : 0;
        const QByteArray bytes = m_codec->fromUnicode(text.data() + block, size, &m_state);
        for (qint64 done = 0; done < bytes.size() && m_failure.isEmpty();) {
            const qint64 written = m_device->write(bytes.constData() + done, bytes.size() - done);
            if (written <= 0)
                m_failure = m_device->errorString();
            done += written;
        }
    }
}

} // namespace Conversion
