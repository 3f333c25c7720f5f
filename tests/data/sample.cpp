// Strings for lupdate: the test suite turns this file into a TS file with
// Qt's own lupdate and exports it. It is never compiled.
#include <QCoreApplication>
#include <QObject>

class Greeter : public QObject
{
    Q_OBJECT
public:
    void strings(int count)
    {
        tr("Hello");
        tr("Tom & Jerry");
        tr("<b>Bold</b> and <i>italic</i>");
        tr("Say \"hello\"");
        tr("It's mine");
        tr("Column\tafter a tab");
        tr("First line\nSecond line");
        tr("Windows line\r\nend");
        tr("  leading and trailing spaces  ");
        tr("Caf\u00e9 cr\u00e8me \u2014 \u65e5\u672c\u8a9e");
        tr("Open", "menu entry");
        tr("Open", "button");
        //: Shown in the status bar
        tr("Ready");
        tr("%n file(s) copied", nullptr, count);
        tr("%n line(s)\nacross\tcolumns", "plural, multi-line", count);
        tr("a < b > c && d");
        tr("1 \" 2 \"\" 3");
        tr("Trailing line break\n");
        tr("");
        tr("=SUM(A1:A3)");
        tr("-v, --verbose");
        tr("+ Add");
        tr("@user");
    }
};

class Other : public QObject
{
    Q_OBJECT
public:
    void strings()
    {
        tr("Hello");
        QCoreApplication::translate("Loose", "Outside a class");
    }
};
