// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TRANSLATIONCHECKS_H
#define TRANSLATIONCHECKS_H

// What the translator typed, checked as Qt Linguist checks it while one
// types: a translation that loses a place marker of QString::arg() (%1 to
// %99), the %n of a plural or a shortcut (&), or gains one, is named in the
// import's report. Nothing is refused for it: a language may drop %n in a
// form on purpose. Linguist's other checks (the punctuation at the end,
// phrase books) are left out, as they would take French typography for
// faults.

#include <QStringList>
#include <QVarLengthArray>

#include <bitset>

namespace Conversion {

// What the checks look at in a text, as Qt's tools will read it: its place
// markers, whether it holds %n, whether it has a shortcut. The import notes
// them as it writes the text, at each '%' and '&' that it meets there.
struct TextFacts
{
    std::bitset<100> markers;   // %1 to %99, also written %L1
    bool plural = false;        // %n or %Ln
    bool shortcut = false;
    bool empty = true;

    // Takes note of c, a '%' or an '&' as the TS text reads, which stands at
    // at and ends before next.
    void meet(QChar c, QStringView text, int at, int next);

private:
    bool m_shortcutSeen = false;
    int m_keyEnd = 0;   // where an '&' of the text, written &&, ends
};

// A text of a translation as the import writes it: a numerus form (from 1)
// or not (0), a length variant (from 1) or not.
struct TranslationText
{
    int form = 0;
    int variant = 0;
    TextFacts facts;
};

using TranslationTexts = QVarLengthArray<TranslationText, 4>;

class TranslationChecks
{
public:
    // Checks the texts of a row's translation against its source; row is
    // the row's number as the spreadsheet numbers it.
    void check(const TextFacts &source, const TranslationTexts &translation, bool plural, qint64 row);

    // What was found, each as "ligne N : …", in the order of the rows.
    const QStringList &findings() const { return m_findings; }

private:
    QStringList m_findings;
};

// The lines that the report of an import adds below its completion, where
// something was found: how many translations are to be looked at, and the
// first few findings.
QString findingsSummary(const QStringList &findings);

} // namespace Conversion

#endif // TRANSLATIONCHECKS_H
