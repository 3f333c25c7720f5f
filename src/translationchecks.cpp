// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "translationchecks.h"

#include "textsearch.h"
#include "tsmarkup.h"

#include <QSet>

namespace Conversion {

namespace {

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

} // namespace

void TextFacts::meet(QChar c, QStringView text, int at, int next)
{
    if (c == QLatin1Char('%')) {
        int i = next;
        i += i < text.size() && text[i] == QLatin1Char('L') ? 1 : 0;
        plural = plural || (i < text.size() && text[i] == QLatin1Char('n'));
        int number = 0;
        for (const int last = i + 2; i < qMin<qsizetype>(last, text.size()) && text[i].isDigit(); ++i)
            number = number * 10 + text[i].digitValue();
        markers.set(size_t(number)).reset(0);
        return;
    }
    if (m_shortcutSeen || at < m_keyEnd || next == text.size())
        return;
    // Linguist's shortcut: an '&' before a character that prints, but
    // another '&' (an '&' of the text) or a space, and that does not begin
    // what reads as an HTML entity (&nbsp;), after which it looks no
    // further.
    const QChar key = readCharacter(text, next, &m_keyEnd);
    if (key == QLatin1Char('&') || key == QLatin1Char(' ') || !key.isPrint())
        return;
    int letters = m_keyEnd;
    while (letters < text.size() && isAsciiLetter(text[letters]))
        ++letters;
    int semicolon;
    shortcut = letters == m_keyEnd || letters == text.size()
               || readCharacter(text, letters, &semicolon) != QLatin1Char(';');
    m_shortcutSeen = true;
}

namespace {

// A text of a translation as the report names it.
QString nameOf(const TranslationText &text)
{
    const QString form = QString::fromUtf8("la forme %1").arg(text.form);
    if (text.variant == 0)
        return text.form == 0 ? QString::fromUtf8("la traduction") : form;
    const QString variant = QString::fromUtf8("la variante %1").arg(text.variant);
    return text.form == 0 ? variant : variant + QLatin1String(" de ") + form;
}

} // namespace

void TranslationChecks::check(const TextFacts &source, const TranslationTexts &translation, bool plural, qint64 row)
{
    const auto found = [&](const char *what, const QString &argument, const TranslationText &in) {
        m_findings += QString::fromUtf8("ligne %1 : ").arg(row) + QString::fromUtf8(what).arg(argument, nameOf(in));
    };
    for (const TranslationText &text : translation) {
        const TextFacts &facts = text.facts;
        if (facts.empty)
            continue;
        for (size_t marker = 1; facts.markers != source.markers && marker < facts.markers.size(); ++marker) {
            if (source.markers[marker] && !facts.markers[marker])
                found("« %%1 » manque dans %2", QString::number(marker), text);
            else if (facts.markers[marker] && !source.markers[marker])
                found("« %%1 » est dans %2, mais pas dans la source", QString::number(marker), text);
        }
        if (plural && source.plural && !facts.plural)
            found("« %%1 » manque dans %2", QStringLiteral("n"), text);
        if (source.shortcut != facts.shortcut) {
            found(source.shortcut ? "la source a un raccourci (%1), pas %2" : "%2 a un raccourci (%1), pas la source",
                  QStringLiteral("&"), text);
        }
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
