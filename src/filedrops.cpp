// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filedrops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

FileDrops::FileDrops(QWidget *window, std::function<void(const QString &, bool)> dropped)
    : QObject(window), m_dropped(std::move(dropped))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    // Line edits take dropped text themselves, disabled ones too; what lies
    // on any other widget reaches the window.
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

namespace {

// The one local file or folder that the drag carries, or nothing.
QFileInfo droppedItem(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QFileInfo();
    const QFileInfo item(urls.first().toLocalFile());
    return item.exists() ? item : QFileInfo();
}

} // namespace

bool FileDrops::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto drag = static_cast<QDropEvent *>(event);
    if (!drag->mimeData()->hasUrls())
        return false;   // text, which a line edit may take
    const QFileInfo item = droppedItem(drag->mimeData());
    if (item.filePath().isEmpty()) {
        drag->ignore();
        return true;
    }
    drag->acceptProposedAction();
    if (type == QEvent::Drop) {
        QTimer::singleShot(0, this, [this, item] { m_dropped(item.filePath(), item.isDir()); });
    }
    return true;
}
