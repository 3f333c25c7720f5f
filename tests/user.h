#ifndef USER_H
#define USER_H

// A user at the window, for the tests: answers the window's file dialogs and
// message boxes, clicks its buttons and types into its name field.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

struct Box
{
    QString title;
    QString text;
};

// Answers the modal dialogs that the window opens, in the order they come,
// as a user would: picks a file or a folder, cancels, or reads a message box
// and presses its button.
class User : public QObject
{
public:
    using Answer = std::function<void(QWidget *)>;

    User()
    {
        connect(&m_timer, &QTimer::timeout, this, &User::poll);
        m_timer.start(5);
    }

    void then(Answer answer) { m_answers.append(std::move(answer)); }

    // Types the path into the dialog's name field, as a user would, and
    // accepts it. (QFileDialog::selectFile() leaves a focused name field
    // alone, so it cannot stand in for typing.)
    void picks(const QString &path)
    {
        then([path](QWidget *w) {
            auto dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            if (dialog->fileMode() == QFileDialog::Directory || dialog->fileMode() == QFileDialog::DirectoryOnly) {
                dialog->setDirectory(path);
            } else {
                auto name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                name->setText(path);
            }
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            if (dialog->isVisible()) {
                dialog->reject();
                QFAIL(qPrintable(QStringLiteral("the dialog did not take %1").arg(path)));
            }
        });
    }

    void cancels()
    {
        then([](QWidget *w) {
            auto dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            dialog->reject();
        });
    }

    // Reads the box; check, if given, runs while the box is still open.
    void reads(std::function<void()> check = nullptr)
    {
        then([this, check](QWidget *w) {
            auto box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            m_boxes.append({box->windowTitle(), box->text()});
            m_buttons.append(box->buttons().size() == 1 && box->standardButtons() == QMessageBox::Ok
                             && box->icon() == QMessageBox::Information);
            if (check)
                check();
            box->button(QMessageBox::Ok)->click();
        });
    }

    bool done() const { return m_answers.isEmpty(); }
    QStringList unexpected() const { return m_unexpected; }   // dialogs that no answer was for
    QVector<Box> boxes() const { return m_boxes; }
    bool boxesHaveOneOkButton() const { return !m_buttons.contains(false); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        if (m_answers.isEmpty()) {
            m_unexpected.append(modal->windowTitle());
            modal->close();
            return;
        }
        const Answer answer = m_answers.takeFirst();
        answer(modal);
    }

    QTimer m_timer;
    QList<Answer> m_answers;
    QPointer<QWidget> m_last;
    QVector<Box> m_boxes;
    QVector<bool> m_buttons;
    QStringList m_unexpected;
};

inline QAbstractButton *buttonNamed(QWidget &window, const QString &text)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

inline QLineEdit *fieldAt(QWidget &window, int index)
{
    QList<QLineEdit *> fields = window.findChildren<QLineEdit *>();
    std::sort(fields.begin(), fields.end(), [](QLineEdit *a, QLineEdit *b) { return a->y() < b->y(); });
    return fields.value(index);
}

// The label that shows the extension: the one right of the name field.
inline QLabel *extensionLabel(QWidget &window)
{
    QLineEdit *name = fieldAt(window, 2);
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->y() == name->y() && label->x() >= name->geometry().right())
            return label;
    }
    return nullptr;
}

namespace UserSteps {

inline void chooseInput(QWidget &window, const QString &path, bool expectBox = false)
{
    User user;
    if (path.isEmpty())
        user.cancels();
    else
        user.picks(path);
    if (expectBox)
        user.reads();
    QTest::mouseClick(buttonNamed(window, QStringLiteral("Rechercher")), Qt::LeftButton);
    QTRY_VERIFY(user.done());
    QCOMPARE(user.unexpected(), QStringList());
}

inline void chooseFolder(QWidget &window, const QString &path)
{
    User user;
    if (path.isEmpty())
        user.cancels();
    else
        user.picks(path);
    QTest::mouseClick(buttonNamed(window, QStringLiteral("Selectionner")), Qt::LeftButton);
    QTRY_VERIFY(user.done());
    QCOMPARE(user.unexpected(), QStringList());
}

inline void typeName(QWidget &window, const QString &name)
{
    QLineEdit *field = fieldAt(window, 2);
    field->clear();
    QTest::keyClicks(field, name);
}

// Clicks "Convertir" and reads the box that follows.
inline Box start(QWidget &window)
{
    User user;
    user.reads();
    QTest::mouseClick(buttonNamed(window, QStringLiteral("Convertir")), Qt::LeftButton);
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(user.done(), 120000);
        QCOMPARE(user.unexpected(), QStringList());
    }();
    return user.boxes().value(0);
}

inline Box convert(QWidget &window, const QString &input, const QString &folder, const QString &name)
{
    if (!input.isEmpty())
        chooseInput(window, input);
    if (!folder.isEmpty())
        chooseFolder(window, folder);
    typeName(window, name);
    return start(window);
}

} // namespace UserSteps

#endif // USER_H
