#include "peers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

namespace Peers {

bool run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(30000)) {
        if (output)
            *output = program + QStringLiteral(": ") + process.errorString();
        return false;
    }
    process.closeWriteChannel();
    process.waitForFinished(300000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString lupdate() { return QStringLiteral(QUORVALE_LUPDATE); }
QString lconvert() { return QStringLiteral(QUORVALE_LCONVERT); }
QString lrelease() { return QStringLiteral(QUORVALE_LRELEASE); }

bool lupdateTs(const QStringList &sources, const QString &tsPath, const QString &language)
{
    QString output;
    const bool ok = run(lupdate(), QStringList{QStringLiteral("-silent"), QStringLiteral("-locations"),
                                               QStringLiteral("relative"), QStringLiteral("-target-language"), language}
                                       + sources + QStringList{QStringLiteral("-ts"), tsPath},
                        &output);
    if (!ok)
        qWarning("lupdate: %s", qPrintable(output));
    return ok;
}

namespace {

QString unescapePo(const QString &quoted)
{
    QString text;
    for (int i = 1; i < quoted.size() - 1; ++i) {
        QChar c = quoted.at(i);
        if (c == QLatin1Char('\\') && i + 1 < quoted.size() - 1) {
            c = quoted.at(++i);
            switch (c.unicode()) {
            case 'n': c = QLatin1Char('\n'); break;
            case 't': c = QLatin1Char('\t'); break;
            case 'r': c = QLatin1Char('\r'); break;
            default: break;
            }
        }
        text += c;
    }
    return text;
}

// lconvert's PO output: entries of keyword lines, each followed by
// continuation strings; obsolete entries carry "#~ " in front.
QVector<PoMessage> parsePo(const QString &po)
{
    QVector<PoMessage> messages;
    PoMessage current;
    QString *target = nullptr;
    bool inEntry = false;
    bool header = true;
    auto finish = [&] {
        if (inEntry && !header)
            messages.append(current);
        header = false;
        current = PoMessage();
        target = nullptr;
        inEntry = false;
    };
    for (QString line : po.split(QLatin1Char('\n'))) {
        bool obsolete = false;
        if (line.startsWith(QLatin1String("#~ "))) {
            line = line.mid(3);
            obsolete = true;
        }
        if (line.isEmpty()) {
            finish();
            continue;
        }
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('"'))) {
            if (target)
                *target += unescapePo(line);
            continue;
        }
        inEntry = true;
        current.obsolete = current.obsolete || obsolete;
        const int space = line.indexOf(QLatin1Char(' '));
        const QString keyword = line.left(space);
        const QString value = unescapePo(line.mid(space + 1));
        if (keyword == QLatin1String("msgctxt")) {
            current.context = value;
            target = &current.context;
        } else if (keyword == QLatin1String("msgid")) {
            current.source = value;
            target = &current.source;
        } else if (keyword == QLatin1String("msgstr") || keyword.startsWith(QLatin1String("msgstr["))) {
            current.translation.append(value);
            target = &current.translation.last();
        } else {
            target = nullptr;   // msgid_plural repeats the source
        }
    }
    finish();
    return messages;
}

// The notices that Qt's tools give on any TS file without contexts and
// without a language: messages that share a source are one message, and the
// numerus forms of a language that is not named are reduced to one.
bool onlyKnownNotices(const QString &output)
{
    static const char *const notices[] = {"Warning: dropping duplicate messages", "(try -verbose",
                                          "Removed plural forms as the target language has less forms",
                                          "If this sounds wrong, possibly the target language"};
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        bool known = false;
        for (const char *notice : notices)
            known = known || line.startsWith(QLatin1String(notice));
        if (!known)
            return false;
    }
    return true;
}

} // namespace

bool readTs(const QString &tsPath, QVector<PoMessage> *messages, QString *error, const QString &language)
{
    QTemporaryDir dir;
    const QString po = dir.filePath(QStringLiteral("out.po"));
    QString output;
    if (!run(lconvert(), {QStringLiteral("-target-language"), language, QStringLiteral("-i"), tsPath,
                          QStringLiteral("-of"), QStringLiteral("po"), QStringLiteral("-o"), po},
             &output)
        || !onlyKnownNotices(output)) {
        *error = QStringLiteral("lconvert on %1: %2").arg(tsPath, output);
        return false;
    }
    QFile file(po);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    *messages = parsePo(QString::fromUtf8(file.readAll()));
    return true;
}

bool compiles(const QString &tsPath, QString *error)
{
    QTemporaryDir dir;
    QString output;
    const bool ok = run(lrelease(), {QStringLiteral("-silent"), tsPath, QStringLiteral("-qm"),
                                     dir.filePath(QStringLiteral("out.qm"))},
                        &output);
    if (!ok || !onlyKnownNotices(output)) {
        *error = QStringLiteral("lrelease on %1: %2").arg(tsPath, output);
        return false;
    }
    return true;
}

QStringList decodeCell(const QString &cell, bool *ok)
{
    QXmlStreamReader xml(QStringLiteral("<c>") + cell + QStringLiteral("</c>"));
    xml.readNextStartElement();
    QStringList forms;
    QString text;
    bool numerus = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            if (xml.name() == QLatin1String("byte"))
                text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
            else if (xml.name() == QLatin1String("numerusform"))
                numerus = true;
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("numerusform")) {
                forms.append(text);
                text.clear();
            }
            break;
        default:
            break;
        }
    }
    if (ok)
        *ok = !xml.hasError();
    return numerus ? forms : QStringList{text};
}

QVector<QStringList> readTable(const QString &path)
{
    QVector<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line))
        rows.append(line.split(QLatin1Char('\t')));
    return rows;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString languageOf(const QString &tsPath)
{
    const QByteArray head = readFile(tsPath).left(4096);
    const int at = head.indexOf("language=\"");
    const int from = at + 10;
    const QString language = at < 0 ? QString() : QString::fromLatin1(head.mid(from, head.indexOf('"', from) - from));
    return language.isEmpty() ? QStringLiteral("en") : language;
}

Pairs keptByQt(const Pairs &messages)
{
    QHash<QString, int> first;
    Pairs kept;
    const auto isEmpty = [](const QStringList &t) { return t.join(QString()).isEmpty(); };
    for (const auto &message : messages) {
        const auto found = first.constFind(message.first);
        if (found == first.constEnd()) {
            first.insert(message.first, kept.size());
            kept.append(message);
        } else if (isEmpty(kept.at(*found).second) && !isEmpty(message.second)) {
            kept[*found].second = message.second;
        }
    }
    return kept;
}

QString corpusDir()
{
    const QString dir = QStringLiteral(QUORVALE_CORPUS);
    return QFileInfo(dir).isDir() ? dir : QString();
}

} // namespace Peers
