// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "translationchecks.h"

#include "textsearch.h"

namespace Conversion {

// The place marker whose '%' stands at i, or 0; where it is %n, plural.
static int placeMarkerAt(QStringView text, int i, bool *plural)
{
    int j = i + 1;
    j += j < text.size() && text[j] == QLatin1Char('L') ? 1 : 0;
    *plural = *plural || (j < text.size() && text[j] == QLatin1Char('n'));
    int number = 0;
    for (const int last = j + 2; j < qMin<qsizetype>(last, text.size()) && text[j].isDigit(); ++j)
        number = number * 10 + text[j].digitValue();
    return number;
}

// Whether the '&' at i makes a shortcut (true), or is none and another may
// follow it (false); where it begins what reads as an HTML entity, there is
// none at all (*last).
static bool shortcutAt(QStringView text, int i, bool *last)
{
    const QChar key = i + 1 < text.size() ? text[i + 1] : QChar();
    if (key.isNull() || key == QLatin1Char('&') || key == QLatin1Char(' ') || !key.isPrint())
        return false;
    int letters = i + 2;
    while (letters < text.size() && text[letters].unicode() < 128 && text[letters].isLetter())
        ++letters;
    *last = true;
    return letters == i + 2 || letters == text.size() || text[letters] != QLatin1Char(';');
}

TextFacts factsOf(QStringView text)
{
    TextFacts facts;
    const QChar *const begin = text.data(), *const end = begin + text.size();
    bool decided = false;
    for (const QChar *p = findFirstOf(begin, end, '%', '&'); p < end; p = findFirstOf(p + 1, end, '%', '&')) {
        const int i = int(p - begin);
        if (p->unicode() == '%') {
            facts.markers.set(size_t(placeMarkerAt(text, i, &facts.plural))).reset(0);
        } else if (!decided) {
            facts.shortcut = shortcutAt(text, i, &decided);
            p += p + 1 < end && p[1] == QLatin1Char('&') ? 1 : 0;   // "&&" is an '&' of the text
        }
    }
    return facts;
}

QStringView leadingSpace(QStringView text)
{
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.left(i);
}

QStringView trailingSpace(QStringView text)
{
    int i = int(text.size());
    while (i > 0 && text[i - 1].isSpace())
        --i;
    return text.mid(i);
}

// Whether two spans of white space are the same; most are empty.
static bool same(QStringView a, QStringView b)
{
    return a.size() == b.size() && (a.isEmpty() || a == b);
}

// Counts a finding on the row; true where it is to be kept, and made.
bool TranslationChecks::counted(qint64 row)
{
    ++m_findings.count;
    m_findings.rows += row != m_lastRow ? 1 : 0;
    m_lastRow = row;
    return m_findings.first.size() < Kept;
}

void TranslationChecks::check(const MessageTexts &texts, qint64 row)
{
    const auto line = [row] { return QString::fromUtf8("ligne %1 : ").arg(row); };
    if (!texts.brokenForms.isEmpty() && counted(row)) {
        m_findings.first += line()
                            + QString::fromUtf8("la traduction commence par <%1> sans être faite de ces seuls éléments "
                                                ": elle est écrite comme du texte, balises comprises")
                                  .arg(texts.brokenForms);
    }
    if (std::all_of(texts.translation.cbegin(), texts.translation.cend(), [](QStringView t) { return t.isEmpty(); }))
        return;   // nothing translated yet
    const QStringView source = texts.source;
    const TextFacts sourceFacts = factsOf(source);
    for (int i = 0; i < texts.translation.size(); ++i) {
        // A finding about the text, with a place marker's number (0 for %n).
        const auto report = [&](const char *what, int marker = -1) {
            if (!counted(row))
                return;
            const QString name = texts.plural ? QString::fromUtf8("la forme %1").arg(i + 1)
                                              : QString::fromUtf8("la traduction");
            const QString argument = marker == 0 ? QStringLiteral("n") : QString::number(marker);
            m_findings.first += line() + (marker < 0 ? QString::fromUtf8(what).arg(name)
                                                            : QString::fromUtf8(what).arg(name, argument));
        };
        if (texts.translation[i].isEmpty()) {
            report("%1 est vide, quand d'autres formes sont remplies");
            continue;
        }
        const QStringView text = texts.translation[i];
        const TextFacts facts = factsOf(text);
        for (int marker = 1; facts.markers != sourceFacts.markers && marker < int(facts.markers.size()); ++marker) {
            if (sourceFacts.markers[size_t(marker)] && !facts.markers[size_t(marker)])
                report("« %%2 » manque dans %1", marker);
            else if (facts.markers[size_t(marker)] && !sourceFacts.markers[size_t(marker)])
                report("« %%2 » est dans %1, mais pas dans la source", marker);
        }
        if (texts.plural && sourceFacts.plural && !facts.plural)
            report("« %%2 » manque dans %1", 0);
        if (sourceFacts.shortcut != facts.shortcut)
            report(sourceFacts.shortcut ? "la source a un raccourci (&), pas %1"
                                        : "%1 a un raccourci (&), pas la source");
        if (!same(leadingSpace(text), leadingSpace(source)))
            report("les espaces au début de %1 ne sont pas ceux de la source");
        if (!same(trailingSpace(text), trailingSpace(source)))
            report("les espaces à la fin de %1 ne sont pas ceux de la source");
    }
}

QString findingsSummary(const Findings &findings)
{
    const int shown = 5;
    QString summary = findings.rows == 1 ? QString::fromUtf8("1 traduction est à revoir :")
                                         : QString::fromUtf8("%1 traductions sont à revoir :").arg(findings.rows);
    for (const QString &finding : findings.first.mid(0, shown))
        summary += QLatin1Char('\n') + finding;
    if (findings.count > shown)
        summary += QString::fromUtf8("\n… et %1 de plus, que les détails énumèrent.").arg(findings.count - shown);
    return summary;
}

QString findingsDetails(const Findings &findings)
{
    QString details = findings.first.join(QLatin1Char('\n'));
    if (findings.count > findings.first.size()) {
        details += QString::fromUtf8("\n… et %1 de plus, du même ordre : revoyez d'abord celles-ci, puis importez de "
                                     "nouveau.")
                       .arg(findings.count - findings.first.size());
    }
    return details;
}

} // namespace Conversion
