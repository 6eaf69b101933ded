#pragma once
// Gathered writes for a database file that SQLite writes from start to end,
// such as the copy made by "VACUUM INTO".
//
// SQLite writes a database one page (4 KiB) at a time. On a file that is
// written whole, most of those writes follow one another; the kernel's cost
// is then mostly per call and per page, and a 250 MB copy spends more time in
// 60,000 small writes than in building its pages. A file opened through the
// name below has its consecutive page writes gathered in memory and handed
// to the kernel 64 KiB at a time. A read, a size query, a sync or a
// commit of the file sees every page written before it (what is gathered is
// written out first, or counted), so SQLite never notices the difference.
// The file's journal and every other file pass through unchanged.
//
// Gathering does not make the file durable: as before, only a sync does.

#include <QString>

namespace platform {

// The URI to give SQLite ("VACUUM INTO ?", ATTACH) for a database at path
// whose writes are to be gathered. The connection that receives it must
// accept URI file names (every platform::Connection does).
QString gatheredWritesUri(const QString& path);

}  // namespace platform
