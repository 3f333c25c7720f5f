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

namespace Conversion {

class TranslationChecks
{
public:
    // Checks the translation of a row of the table against its source, both
    // as the cells hold them; row is the row's number as the spreadsheet
    // numbers it.
    void check(QStringView source, QStringView translation, qint64 row);

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
