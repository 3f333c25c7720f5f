// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSREFERENCES_H
#define TSREFERENCES_H

// The character and entity references of TS text, such as &amp; or
// &#x202f;, which both conversions keep as the TS file spells them.

#include <QStringView>

namespace Conversion {

// Whether XML can hold the character at all.
bool isXmlChar(uint c);

// The length of the character or entity reference that XML knows at the
// start of text, or 0.
int referenceLength(QStringView text);

// The code point of the reference at the start of text, whose length is
// known to be that of one.
uint referencedCodePoint(QStringView reference);

} // namespace Conversion

#endif // TSREFERENCES_H
