// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FILEDROPS_H
#define FILEDROPS_H

// A file or a folder dragged from the file manager and dropped anywhere on
// a window: its fields and labels included.

#include <QObject>

#include <functional>

class QWidget;

class FileDrops : public QObject
{
public:
    // dropped(path, isFolder) runs once the drop is over, so that a message
    // box that it opens does not hold the file manager that the drag came
    // from. Only one local file or folder is taken; anything else is refused
    // as the user drags it, and the window's fields never take it as text.
    FileDrops(QWidget *window, std::function<void(const QString &, bool)> dropped);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &, bool)> m_dropped;
};

#endif // FILEDROPS_H
