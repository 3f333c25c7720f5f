// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FAILINGDISK_H
#define FAILINGDISK_H

#include "fileconversion.h"

#include <QIODevice>

// A disk that fails one read or one write, and works again after it, as a
// network share or a USB stick may: the conversion's input and output pass
// through it.
class FailingDisk : public QIODevice
{
public:
    static inline int failing = 0;   // the read or write that fails, counted from 1
    static inline bool writes = false;
    static inline bool import = false;
    static inline int calls = 0;

    static Conversion::Result convert(QIODevice &in, QIODevice &out, QTextCodec *system)
    {
        FailingDisk input(&in, !writes), output(&out, writes);
        input.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        output.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const Conversion::Result result = (import ? Conversion::tableToTs : Conversion::tsToTable)(input, output, system);
        calls = (writes ? output : input).m_calls;
        return result;
    }

    bool seek(qint64 position) override { return QIODevice::seek(position) && m_device->seek(position); }
    qint64 size() const override { return m_device->size(); }

protected:
    qint64 readData(char *data, qint64 size) override { return fails() ? -1 : m_device->read(data, size); }
    qint64 writeData(const char *data, qint64 size) override { return fails() ? -1 : m_device->write(data, size); }

private:
    FailingDisk(QIODevice *device, bool counted) : m_device(device), m_counted(counted) {}

    bool fails()
    {
        if (!m_counted || ++m_calls != failing)
            return false;
        setErrorString("the disk stutters");
        return true;
    }

    QIODevice *m_device;
    bool m_counted;
    int m_calls = 0;
};

#endif // FAILINGDISK_H
