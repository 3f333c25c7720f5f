// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef INPUTDEVICE_H
#define INPUTDEVICE_H

// The input, read with each call checked.

#include <QByteArray>
#include <QString>

class QIODevice;

namespace Conversion {

// The input is read this many bytes at a time. The test builds
// (QUORVALE_SHORT_READS) read 1 to 13 bytes at a time instead, each length
// in turn, so that the edges of the chunks fall everywhere: inside a
// character, a line end, a tag.
const int ChunkSize = 64 * 1024;

// The input device, with each read checked where it happens: the first
// read, peek or seek that fails is kept with the system's reason, and
// nothing is read after it. Qt's error() tells of the last call only, so a
// failed read followed by one that succeeds would leave no trace, and a
// failed read taken for the end of the text would cut it short.
class InputDevice
{
public:
    explicit InputDevice(QIODevice *device) : m_device(device) {}

    // The bytes read, 0 at the end, -1 once a read has failed.
    qint64 read(char *data, qint64 size);
    QByteArray peek(qint64 size);
    bool seek(qint64 position);
    qint64 pos() const;
    bool isSequential() const;

    const QString &failure() const { return m_failure; }

private:
    qint64 checked(qint64 result);

    QIODevice *m_device;
    QString m_failure;
};

} // namespace Conversion

#endif // INPUTDEVICE_H
