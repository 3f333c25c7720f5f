// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef USER_H
#define USER_H

// A user at the window, for the tests: clicks its buttons, types a name,
// answers its file dialogs and reads its message boxes; and what the user
// sees: the window's state, where a text is drawn, the files of a folder.

#include "qttools.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyleOption>
#include <QTimer>
#include <QtTest>

// The label or the button of that text.
inline QWidget *widgetOf(QWidget &window, const QString &text)
{
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if ((qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget))
            && widget->property("text").toString() == text)
            return widget;
    }
    return nullptr;
}

inline QAbstractButton *buttonNamed(QWidget &window, const QString &text)
{
    return qobject_cast<QAbstractButton *>(widgetOf(window, text));
}

// The line edits, as the window made them: the input file, the output
// folder, the name.
inline QLineEdit *fieldAt(QWidget &window, int index)
{
    return window.findChildren<QLineEdit *>().value(index);
}

// What the user sees, such as "XMl checked, Excel disabled, extension .ts,
// Convertir shown, file table.txt, folder out, name app", paths relative to
// base.
inline QString stateOf(QWidget &window, const QDir &base)
{
    QString state;
    for (const char *radio : {"XMl", "Excel"}) {
        const QAbstractButton *button = buttonNamed(window, QStringLiteral("Convertir vers ") + radio);
        state += radio + QString(button->isChecked() ? " checked" : "") + (button->isEnabled() ? ", " : " disabled, ");
    }
    const auto relative = [&](int field) {
        const QString path = fieldAt(window, field)->text();
        return path.isEmpty() ? path : base.relativeFilePath(path);
    };
    state += QStringLiteral("extension %1, Convertir %2, file %3, folder %4")
                 .arg(window.findChildren<QLabel *>().value(3)->text(),   // the one right of the name
                      buttonNamed(window, "Convertir")->isVisible() ? "shown" : "hidden", relative(0), relative(1));
    const QString name = fieldAt(window, 2)->text();
    return state + (name.isEmpty() ? "" : ", name " + name)
           + (window.findChild<QProgressBar *>()->isVisible() ? ", progress bar shown" : "");
}

// Where the widget draws its text, in the window, measured with its own
// font: a label's from its left, a button's in its middle, a radio button's
// after its mark.
inline QRect textArea(QWidget *widget, const QString &text)
{
    const int width = widget->fontMetrics().horizontalAdvance(text);
    QRect area = widget->contentsRect();
    if (qobject_cast<QRadioButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        option.text = text;
        area = widget->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, widget);
    } else if (qobject_cast<QAbstractButton *>(widget)) {
        const int margin = widget->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
        area.adjust(margin, 0, -margin, 0);
        area.setLeft(area.center().x() - width / 2);
    }
    area.setWidth(width);
    return area.translated(widget->pos());
}

// Every file below a folder with its content, to see that nothing changed.
inline QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files.insert(info.filePath(), info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8()
                                      : info.isDir()   ? QByteArray("folder")
                                      : !info.isFile() ? QByteArray("neither file nor folder")   // not read: a pipe would wait
                                                       : QtTools::readFile(info.filePath()));
    }
    return files;
}

class User : public QObject
{
public:
    User(QWidget &window, const QDir &base) : m_window(window), m_base(base)
    {
        connect(&m_timer, &QTimer::timeout, this, &User::answerDialog);
        m_timer.start(5);
    }

    // Does the steps, each what a user does: "Rechercher:NAME" picks that
    // file in the dialog that the button opens, "Rechercher:" cancels it, and
    // likewise "Selectionner:NAME"; "Nom:TEXT" types the base name;
    // "Drop:A,B>TARGET" drags A and B from the file manager onto the widget
    // of that text (or "name", the name field, "file", the input's field);
    // any other step clicks the button of that text. Returns each message box
    // seen, as "Title: text", with " [Details button's text, details]" where
    // it has details, and " (Convertir hidden)" if it was at that moment.
    QStringList act(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QString what = step.section(':', 0, 0);
            if (what == "Nom") {
                fieldAt(m_window, 2)->clear();
                QTest::keyClicks(fieldAt(m_window, 2), step.section(':', 1));
                continue;
            }
            if (what == "Drop") {
                drop(step.section(':', 1, -1).section('>', 0, 0).split(','), step.section('>', 1));
                continue;
            }
            m_answer = step.contains(':') ? QStringList{step.section(':', 1)} : QStringList();
            QTest::mouseClick(buttonNamed(m_window, what), Qt::LeftButton);
            if (!m_answer.isEmpty())
                m_seen += "no dialog for " + step;
        }
        return m_seen;
    }

private:
    // As a file manager drags them: their URLs, and the same as text, sent
    // where Qt sends a drop, the first widget under the point that takes
    // drops.
    void drop(const QStringList &items, const QString &target)
    {
        QList<QUrl> urls;
        for (const QString &item : items)
            urls += item.contains("://") ? QUrl(item) : QUrl::fromLocalFile(m_base.filePath(item));
        QMimeData data;
        data.setUrls(urls);
        data.setText(QUrl::toStringList(urls).join('\n'));
        QWidget *under = target == "name" ? fieldAt(m_window, 2)
                         : target == "file" ? fieldAt(m_window, 0)
                                            : widgetOf(m_window, target);
        const QPoint point = under->mapTo(&m_window, under->rect().center());
        QWidget *receiver = m_window.childAt(point);
        while (receiver != &m_window && !receiver->acceptDrops())
            receiver = receiver->parentWidget();
        const QPoint at = receiver->mapFrom(&m_window, point);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        const QString before = stateOf(m_window, m_base);
        QCoreApplication::processEvents();
        if (stateOf(m_window, m_base) != before)
            m_seen += "taken before the drop";
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QApplication::sendEvent(receiver, &dropped);
        if (!dropped.isAccepted())
            m_seen += "drop refused";
        QCoreApplication::processEvents();
    }

    void answerDialog()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        if (auto box = qobject_cast<QMessageBox *>(modal)) {
            // Ok, and the button that shows the details where there are some.
            QString details;
            for (QAbstractButton *button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::ActionRole)
                    details = " [" + button->text() + " " + box->detailedText() + "]";
            }
            const bool plain = box->buttons().size() == (details.isEmpty() ? 1 : 2)
                               && box->standardButtons() == QMessageBox::Ok && box->icon() == QMessageBox::Information;
            m_seen += box->windowTitle() + ": " + box->text() + details
                      + (buttonNamed(m_window, "Convertir")->isVisible() ? "" : " (Convertir hidden)")
                      + (plain ? "" : " (not one Ok button with the information icon)");
            box->button(QMessageBox::Ok)->click();
        } else if (auto dialog = qobject_cast<QFileDialog *>(modal); dialog && !m_answer.isEmpty()) {
            pick(dialog, m_answer.takeFirst());
        } else {
            m_seen += "unexpected dialog: " + modal->windowTitle();
            modal->close();
        }
    }

    // Types the path into the dialog as a user would and accepts it (its
    // selectFile() leaves a focused name field alone); no name cancels it.
    void pick(QFileDialog *dialog, const QString &name)
    {
        if (name.isEmpty())
            return dialog->reject();
        if (dialog->fileMode() == QFileDialog::Directory)
            dialog->setDirectory(m_base.filePath(name));
        else
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(m_base.filePath(name));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        if (dialog->isVisible()) {
            m_seen += "the dialog did not take " + name;
            dialog->reject();
        }
    }

    QWidget &m_window;
    QDir m_base;
    QTimer m_timer;
    QStringList m_answer;
    QPointer<QWidget> m_last;
    QStringList m_seen;
};

#endif // USER_H
