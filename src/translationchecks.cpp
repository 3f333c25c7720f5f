// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "translationchecks.h"

#include "textsearch.h"
#include "tsmarkup.h"

#include <QSet>
#include <QVector>

#include <set>

namespace Conversion {

namespace {

// The place markers of QString::arg() in a text: %1 to %99, also written
// %L1, each counted once, in order.
std::set<int> placeMarkers(const QString &text)
{
    std::set<int> markers;
    for (int i = text.indexOf(QLatin1Char('%')); i >= 0; i = text.indexOf(QLatin1Char('%'), i + 1)) {
        int digit = i + 1 + (text.midRef(i + 1, 1) == QLatin1String("L") ? 1 : 0);
        int number = 0;
        for (int end = digit + 2; digit < qMin(end, text.size()) && text.at(digit).isDigit(); ++digit)
            number = number * 10 + text.at(digit).digitValue();
        if (number > 0)
            markers.insert(number);
    }
    return markers;
}

bool holdsPluralMarker(const QString &text)
{
    return text.contains(QLatin1String("%n")) || text.contains(QLatin1String("%Ln"));
}

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

// Whether the text has a shortcut, as Linguist finds one: an '&' before a
// character that prints, but another '&' (a '&' of the text) or a space,
// and that does not begin what reads as an HTML entity (&nbsp;), after
// which Linguist looks no further.
bool hasShortcut(const QString &text)
{
    for (int i = text.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < text.size(); i = text.indexOf(QLatin1Char('&'), i)) {
        const QChar key = text.at(i + 1);
        i += 2;
        if (key == QLatin1Char('&') || key == QLatin1Char(' ') || !key.isPrint())
            continue;
        int end = i;
        while (end < text.size() && isAsciiLetter(text.at(end)))
            ++end;
        return end == i || end == text.size() || text.at(end) != QLatin1Char(';');
    }
    return false;
}

// The texts of a translation cell, each named as the report names it: its
// numerus forms, their length variants, its length variants, or the whole.
struct Text
{
    QString name;
    QString read;
};

void addTexts(QStringView cell, const QString &name, QVector<Text> *texts)
{
    QVector<Element> variants;
    if (!elementsOnly(cell, lengthVariant, &variants)) {
        texts->append(Text{name, textRead(cell)});
        return;
    }
    for (int i = 0; i < variants.size(); ++i) {
        const QString variant = QString::fromUtf8("la variante %1").arg(i + 1);
        addTexts(variants.at(i).content, name.isEmpty() ? variant : variant + QLatin1String(" de ") + name, texts);
    }
}

} // namespace

void TranslationChecks::check(QStringView source, QStringView translation, qint64 row)
{
    // Most rows have no marker and no shortcut, and are soon told.
    const auto special = [](QStringView text) { return indexOf(text, '%') >= 0 || indexOf(text, '&') >= 0; };
    if (translation.isEmpty() || (!special(source) && !special(translation)))
        return;
    QVector<Element> forms;
    QVector<Text> texts;
    if (elementsOnly(translation, numerusForm, &forms)) {
        for (int i = 0; i < forms.size(); ++i)
            addTexts(forms.at(i).content, QString::fromUtf8("la forme %1").arg(i + 1), &texts);
    } else {
        addTexts(translation, QString(), &texts);
    }
    const QString sourceRead = textRead(source);
    const std::set<int> sourceMarkers = placeMarkers(sourceRead);
    const auto found = [&](const char *what, const QString &argument, const QString &in) {
        m_findings += QString::fromUtf8("ligne %1 : ").arg(row) + QString::fromUtf8(what).arg(argument, in);
    };
    for (const Text &text : texts) {
        if (text.read.isEmpty())
            continue;
        const QString in = text.name.isEmpty() ? QString::fromUtf8("la traduction") : text.name;
        const std::set<int> markers = placeMarkers(text.read);
        for (int marker : sourceMarkers) {
            if (!markers.count(marker))
                found("« %%1 » manque dans %2", QString::number(marker), in);
        }
        for (int marker : markers) {
            if (!sourceMarkers.count(marker))
                found("« %%1 » est dans %2, mais pas dans la source", QString::number(marker), in);
        }
        if (!forms.isEmpty() && holdsPluralMarker(sourceRead) && !holdsPluralMarker(text.read))
            found("« %%1 » manque dans %2", QStringLiteral("n"), in);
        if (hasShortcut(sourceRead) && !hasShortcut(text.read))
            found("la source a un raccourci (%1), pas %2", QStringLiteral("&"), in);
        else if (!hasShortcut(sourceRead) && hasShortcut(text.read))
            found("%2 a un raccourci (%1), pas la source", QStringLiteral("&"), in);
    }
}

QString findingsSummary(const QStringList &findings)
{
    QSet<QString> rows;
    for (const QString &finding : findings)
        rows.insert(finding.section(QLatin1Char(':'), 0, 0));
    const int shown = 5;
    QString summary = rows.size() == 1 ? QString::fromUtf8("1 traduction est à revoir :")
                                       : QString::fromUtf8("%1 traductions sont à revoir :").arg(rows.size());
    for (const QString &finding : findings.mid(0, shown))
        summary += QLatin1Char('\n') + finding;
    if (findings.size() > shown)
        summary += QString::fromUtf8("\n… et %1 de plus, que les détails énumèrent.").arg(findings.size() - shown);
    return summary;
}

} // namespace Conversion
