#ifndef TABLEIMPORT_H
#define TABLEIMPORT_H

// The import: a table that a spreadsheet saved in, a TS file out.

#include "textstreams.h"

namespace Conversion {

// Reads a table saved by a spreadsheet as tab-separated text and writes a TS
// file, one message per row. Spreadsheet quoting is undone; references and
// the numerus, length-variant and byte markup that the export writes are
// kept, and anything else that XML reserves is escaped.
StreamResult tableToTs(QTextStream &table, QTextStream &ts);

} // namespace Conversion

#endif // TABLEIMPORT_H
