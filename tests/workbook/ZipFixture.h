#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Zip packages built at test time, so every fixture workbook is readable
// XML in the test itself rather than a binary file.
namespace ulv::test {

using ZipEntries = std::vector<std::pair<QString, QByteArray>>;

// Writes `entries` deflated into a new zip file; fails the test on error.
void WriteZip(const QString& path, const ZipEntries& entries);

// Adds an entry whose content is `prefix` followed by spaces up to `size`
// bytes, produced piecewise so the test never holds it in memory.
void WriteZipWithLargeEntry(
    const QString& path, const ZipEntries& entries, const QString& name, const QByteArray& prefix, quint64 size);

// One entry of a zip file; `found` tells whether it is there.
QByteArray ReadZipEntry(const QString& path, const QString& name, bool* found = nullptr);

// The parts of a one-sheet workbook around `sheetXml` (cells only, the
// <sheetData> content) and, when not empty, the shared strings items.
ZipEntries MinimalWorkbook(const QByteArray& sheetData, const QByteArray& sharedItems = {});

// A python3 that can import openpyxl, or empty.
QString OpenpyxlPython();

// Runs `script` with `python` and the one argument; its standard output.
// `ran` tells whether it exited with 0 (the test fails otherwise).
QByteArray RunPython(const QString& python, const char* script, const QString& argument, bool* ran);

} // namespace ulv::test
