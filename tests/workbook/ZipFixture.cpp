#include "ZipFixture.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstring>

namespace ulv::test {

namespace {

zip_t* CreateZip(const QString& path)
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(z, nullptr) << "zip_open " << code;
    return z;
}

void AddEntries(zip_t* z, const ZipEntries& entries)
{
    for (const auto& [name, bytes] : entries) {
        // libzip keeps the buffer until zip_close, so hand it a copy it frees.
        void* copy = std::malloc(std::max<size_t>(1, size_t(bytes.size())));
        std::memcpy(copy, bytes.constData(), size_t(bytes.size()));
        zip_source_t* src = zip_source_buffer(z, copy, zip_uint64_t(bytes.size()), 1);
        ASSERT_NE(src, nullptr);
        ASSERT_GE(zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE), 0) << zip_strerror(z);
    }
}

struct SpaceSource {
    QByteArray prefix;
    quint64 size = 0;
    quint64 pos = 0;
};

zip_int64_t SpaceCallback(void* user, void* data, zip_uint64_t len, zip_source_cmd_t cmd)
{
    auto* s = static_cast<SpaceSource*>(user);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        s->pos = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min<zip_uint64_t>(len, s->size - s->pos);
        auto* out = static_cast<char*>(data);
        for (zip_uint64_t i = 0; i < n; ++i) {
            const quint64 at = s->pos + i;
            out[i] = at < quint64(s->prefix.size()) ? s->prefix[qsizetype(at)] : ' ';
        }
        s->pos += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = s->size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_FREE:
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

} // namespace

void WriteZip(const QString& path, const ZipEntries& entries)
{
    zip_t* z = CreateZip(path);
    ASSERT_NE(z, nullptr);
    AddEntries(z, entries);
    ASSERT_EQ(zip_close(z), 0) << zip_strerror(z);
}

void WriteZipWithLargeEntry(
    const QString& path, const ZipEntries& entries, const QString& name, const QByteArray& prefix, quint64 size)
{
    zip_t* z = CreateZip(path);
    ASSERT_NE(z, nullptr);
    AddEntries(z, entries);
    zip_source_t* src = zip_source_function(z, SpaceCallback, new SpaceSource { prefix, size, 0 });
    ASSERT_NE(src, nullptr);
    const zip_int64_t index = zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE);
    ASSERT_GE(index, 0) << zip_strerror(z);
    zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    ASSERT_EQ(zip_close(z), 0) << zip_strerror(z);
}

QByteArray ReadZipEntry(const QString& path, const QString& name, bool* found)
{
    if (found)
        *found = false;
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!z)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, name.toUtf8().constData(), 0, &st) == 0) {
        zip_file_t* f = zip_fopen(z, name.toUtf8().constData(), 0);
        if (f) {
            out.resize(qsizetype(st.size));
            if (zip_fread(f, out.data(), st.size) == zip_int64_t(st.size) && found)
                *found = true;
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return out;
}

ZipEntries MinimalWorkbook(const QByteArray& sheetData, const QByteArray& sharedItems)
{
    ZipEntries e;
    e.emplace_back("[Content_Types].xml",
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/></Types>)");
    e.emplace_back("_rels/.rels",
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
        R"(</Relationships>)");
    e.emplace_back("xl/workbook.xml",
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)");
    QByteArray rels
        = R"(<?xml version="1.0" encoding="UTF-8"?>)"
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)";
    if (!sharedItems.isEmpty())
        rels
            += R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
    rels += "</Relationships>";
    e.emplace_back("xl/_rels/workbook.xml.rels", rels);
    e.emplace_back("xl/worksheets/sheet1.xml",
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
            + sheetData + "</sheetData></worksheet>");
    if (!sharedItems.isEmpty()) {
        e.emplace_back("xl/sharedStrings.xml",
            R"(<?xml version="1.0" encoding="UTF-8"?>)"
            R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                + sharedItems + "</sst>");
    }
    return e;
}

QString OpenpyxlPython()
{
    static const QString found = [] {
        QStringList candidates { QStringLiteral("/usr/bin/python3") };
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (!onPath.isEmpty())
            candidates << onPath;
        for (const QString& py : candidates) {
            QProcess p;
            p.start(py, { QStringLiteral("-c"), QStringLiteral("import openpyxl") });
            if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return py;
        }
        return QString();
    }();
    return found;
}

QByteArray RunPython(const QString& python, const char* script, const QString& argument, bool* ran)
{
    QProcess p;
    p.start(python, { QStringLiteral("-c"), QString::fromUtf8(script), argument });
    *ran = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(*ran) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

} // namespace ulv::test
