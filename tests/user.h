#ifndef USER_H
#define USER_H

// A user at the window, for the tests: clicks its buttons, types a name,
// answers its file dialogs and reads its message boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>

inline QAbstractButton *buttonNamed(QWidget &window, const QString &text)
{
    const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
    const auto found = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton *b) { return b->text() == text; });
    return found == buttons.end() ? nullptr : *found;
}

// The line edits from top to bottom: the input file, the output folder, the name.
inline QLineEdit *fieldAt(QWidget &window, int row)
{
    QList<QLineEdit *> fields = window.findChildren<QLineEdit *>();
    std::sort(fields.begin(), fields.end(), [](QLineEdit *a, QLineEdit *b) { return a->y() < b->y(); });
    return fields.value(row);
}

// What the user sees, such as "XMl checked, Excel disabled, extension .ts,
// Convertir shown, file table.txt, folder out", paths relative to base.
inline QString stateOf(QWidget &window, const QDir &base)
{
    QString state;
    for (const char *radio : {"XMl", "Excel"}) {
        const QAbstractButton *button = buttonNamed(window, QStringLiteral("Convertir vers ") + QLatin1String(radio));
        state += QLatin1String(radio) + QLatin1String(button->isChecked() ? " checked" : "")
                 + QLatin1String(button->isEnabled() ? ", " : " disabled, ");
    }
    QLineEdit *name = fieldAt(window, 2);
    const QList<QLabel *> labels = window.findChildren<QLabel *>();
    const auto extension = std::find_if(labels.begin(), labels.end(), [name](QLabel *label) {
        return label->y() == name->y() && label->x() > name->x();
    });
    const auto relative = [&base](const QString &path) { return path.isEmpty() ? path : base.relativeFilePath(path); };
    state += QStringLiteral("extension %1, Convertir %2, file %3, folder %4")
                 .arg((*extension)->text(), buttonNamed(window, QStringLiteral("Convertir"))->isVisible() ? "shown" : "hidden",
                      relative(fieldAt(window, 0)->text()), relative(fieldAt(window, 1)->text()));
    if (window.findChild<QProgressBar *>()->isVisible())
        state += QLatin1String(", progress bar shown");
    return state;
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
    // likewise "Selectionner:NAME"; "Nom:TEXT" types the base name; any other
    // step clicks the button of that text. Returns each message box seen, as
    // "Title: text", with " (Convertir hidden)" if it was at that moment.
    QStringList act(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QString what = step.section(QLatin1Char(':'), 0, 0);
            const QString argument = step.section(QLatin1Char(':'), 1);
            if (what == QLatin1String("Nom")) {
                fieldAt(m_window, 2)->clear();
                QTest::keyClicks(fieldAt(m_window, 2), argument);
                continue;
            }
            m_answer = step.contains(QLatin1Char(':')) ? QStringList{argument} : QStringList();
            QTest::mouseClick(buttonNamed(m_window, what), Qt::LeftButton);
            if (!m_answer.isEmpty())
                m_seen += QStringLiteral("no dialog for ") + step;
        }
        return m_seen;
    }

private:
    void answerDialog()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        if (auto box = qobject_cast<QMessageBox *>(modal)) {
            const bool plain = box->buttons().size() == 1 && box->standardButtons() == QMessageBox::Ok
                               && box->icon() == QMessageBox::Information;
            const bool startHidden = !buttonNamed(m_window, QStringLiteral("Convertir"))->isVisible();
            m_seen += box->windowTitle() + QStringLiteral(": ") + box->text()
                      + QLatin1String(startHidden ? " (Convertir hidden)" : "")
                      + QLatin1String(plain ? "" : " (not one Ok button with the information icon)");
            box->button(QMessageBox::Ok)->click();
        } else if (auto dialog = qobject_cast<QFileDialog *>(modal); dialog && !m_answer.isEmpty()) {
            pick(dialog, m_answer.takeFirst());
        } else {
            m_seen += QStringLiteral("unexpected dialog: ") + modal->windowTitle();
            modal->close();
        }
    }

    // Types the path into the dialog as a user would and accepts it; an
    // empty name cancels. (QFileDialog::selectFile() leaves a focused name
    // field alone.)
    void pick(QFileDialog *dialog, const QString &name)
    {
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        if (dialog->fileMode() == QFileDialog::Directory)
            dialog->setDirectory(m_base.filePath(name));
        else
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(m_base.filePath(name));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        if (dialog->isVisible()) {
            m_seen += QStringLiteral("the dialog did not take ") + name;
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
