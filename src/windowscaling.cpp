// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowscaling.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

void scaleWithTheDisplay()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
    // 125 % scales by 1.25, not by 1 with text 25 % larger.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

namespace {

bool showsText(const QWidget *widget)
{
    return qobject_cast<const QLabel *>(widget) || qobject_cast<const QAbstractButton *>(widget);
}

// By how much the widget's rectangle falls short of what its content needs,
// as a factor. Its room ends where a widget made after it, which lies above
// it, begins.
qreal shortfall(const QWidget *widget, const QList<QWidget *> &above)
{
    QRect room = widget->geometry();
    for (const QWidget *other : above) {
        if (!other->isHidden() && other->geometry().intersects(room) && other->x() > room.x())
            room.setRight(other->x() - 1);
    }
    const QSize needed = widget->sizeHint();
    return qMax(qreal(needed.width()) / room.width(), qreal(needed.height()) / room.height());
}

// Edges are scaled, not sizes, so that widgets that touch still touch.
QRect scaled(const QRect &rect, qreal factor)
{
    const QPoint topLeft(qRound(rect.x() * factor), qRound(rect.y() * factor));
    const QPoint end(qRound((rect.x() + rect.width()) * factor), qRound((rect.y() + rect.height()) * factor));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
}

} // namespace

void fitToItsTexts(QWidget *window)
{
    const QList<QWidget *> children = window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    qreal factor = 1;
    for (int i = 0; i < children.size(); ++i) {
        children.at(i)->ensurePolished();
        if (showsText(children.at(i)))
            factor = qMax(factor, shortfall(children.at(i), children.mid(i + 1)));
    }
    if (factor == 1)
        return;
    for (QWidget *child : children)
        child->setGeometry(scaled(child->geometry(), factor));
    window->setFixedSize(scaled(QRect(QPoint(0, 0), window->size()), factor).size());
}
