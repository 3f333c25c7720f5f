// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TRANSLATIONCHECKS_H
#define TRANSLATIONCHECKS_H

// What the translator typed, checked as Qt Linguist checks it while one
// types, on the texts that Qt's tools will read: a translation that loses
// a place marker of QString::arg() (%1 to %99), the %n of a plural, a
// shortcut (&) or the white space around the source, or gains one; a form
// of a plural left empty where others are filled; a translation that looks
// like numerus forms or length variants and is not. They are named in the
// import's report; nothing is refused for them: a language may drop %n in
// a form on purpose. Linguist's other checks (the punctuation at the end,
// phrase books) are left out, as they would take French typography and
// scripts without a final period for faults.

#include "conversion.h"

#include <QVarLengthArray>

#include <bitset>

namespace Conversion {

// What the checks compare in a text, found in one pass over it:
//  - its place markers, %1 to %99 (also written %L1), as QString::arg()
//    reads them: two digits at most, each marker once however often it
//    stands; and whether it holds %n (or %Ln);
//  - whether it has a shortcut, by Linguist's rule: an '&' before a
//    character that prints, other than a space or another '&' (an '&' of
//    the text), and not what reads as an HTML entity (&nbsp;), after which
//    it looks no further.
struct TextFacts
{
    std::bitset<100> markers;
    bool plural = false;
    bool shortcut = false;
};

TextFacts factsOf(QStringView text);

// The white space that a text begins or ends with, as QString::trimmed()
// finds it.
QStringView leadingSpace(QStringView text);
QStringView trailingSpace(QStringView text);

// A message's texts as Qt's tools will read them (references and <byte>
// elements read), each as the cells hold it.
struct MessageTexts
{
    QStringView source;
    // The translation's text, or its numerus forms; of length variants, the
    // first, which Linguist checks (the others may be shorter on purpose).
    QVarLengthArray<QStringView, 4> translation;
    bool plural = false;
    // The element whose name the translation begins with, where it is not
    // made of such elements and is written as text, tags and all; or none.
    QLatin1String brokenForms = QLatin1String();
};

class TranslationChecks
{
public:
    // No more findings than this are kept: the others are counted.
    static constexpr int Kept = 1000;

    // Checks a message's translation against its source, as Qt's tools will
    // read both; row is its row as the spreadsheet numbers it.
    void check(const MessageTexts &texts, qint64 row);

    const Findings &findings() const { return m_findings; }

private:
    bool counted(qint64 row);

    Findings m_findings;
    qint64 m_lastRow = 0;
};

// The lines that the report of an import adds below its completion, where
// something was found: how many translations are to be looked at, and the
// first few findings; and the details, every finding kept.
QString findingsSummary(const Findings &findings);
QString findingsDetails(const Findings &findings);

} // namespace Conversion

#endif // TRANSLATIONCHECKS_H
