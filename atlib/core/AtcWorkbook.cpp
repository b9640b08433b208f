#include "atlib/core/AtcWorkbook.h"

#include "atlib/core/WorkbookXml.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace ulv {

namespace {

// Caps on what one part may unpack to: far above any real command library,
// low enough that a zip bomb ends with an error instead of eating the memory.
constexpr qint64 kMaxSheetPartBytes = qint64(256) << 20;
constexpr qint64 kMaxSmallPartBytes = qint64(32) << 20;

const char* const kHeader[4] = { "Classification", "AT command", "Parameter reference", "Function" };

QString Quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

// --- writing -----------------------------------------------------------

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

// A fresh file beside `path`, so a failed export leaves an existing file as
// it was; created here (not by the writer) so its name is ours alone.
QString CreateSiblingFile(const QString& path, QString& error)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral("%1.%2.tmp")
                                 .arg(path)
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (f.error() != QFileDevice::OpenError || !QFileInfo::exists(name)) {
            error = f.errorString();
            return {};
        }
    }
    error = QStringLiteral("no free name for a temporary file");
    return {};
}

QString WriteCells(lxw_workbook* wb, const std::vector<AtcWorkbookRow>& rows, const QString& path)
{
    lxw_worksheet* sheet = workbook_add_worksheet(wb, nullptr);
    lxw_format* bold = workbook_add_format(wb);
    if (!sheet || !bold)
        return QStringLiteral("Cannot write %1: out of memory.").arg(Quoted(path));
    format_set_bold(bold);

    auto put = [&](lxw_row_t r, lxw_col_t c, const QString& text, lxw_format* format) -> QString {
        // Always a string cell: "123" stays a text, never a number.
        const QByteArray utf8 = ProtectWorkbookEscapes(text).toUtf8();
        const lxw_error e = worksheet_write_string(sheet, r, c, utf8.constData(), format);
        if (e == LXW_NO_ERROR)
            return {};
        return QStringLiteral("Cannot write cell %1%2 of %3: %4")
            .arg(QChar(u'A' + c))
            .arg(r + 1)
            .arg(Quoted(path), QString::fromUtf8(lxw_strerror(e)));
    };

    // Only A1 is bold, not the whole header row.
    for (lxw_col_t c = 0; c < 4; ++c) {
        const QString e = put(0, c, QString::fromLatin1(kHeader[c]), c == 0 ? bold : nullptr);
        if (!e.isEmpty())
            return e;
    }
    lxw_row_t r = 1;
    for (const AtcWorkbookRow& row : rows) {
        const QString* cells[4] = { &row.classification, &row.atc, &row.refer, &row.func };
        for (lxw_col_t c = 0; c < 4; ++c) {
            const QString e = put(r, c, *cells[c], nullptr);
            if (!e.isEmpty())
                return e;
        }
        ++r;
    }
    return {};
}

// --- reading -----------------------------------------------------------

class ZipPackage {
public:
    ZipPackage() = default;
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;
    ~ZipPackage()
    {
        if (zip_)
            zip_discard(zip_);
    }

    // Empty on success, else the complete message for the user.
    QString Open(const QString& path)
    {
        int code = 0;
        zip_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (zip_)
            return {};
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        const QString detail = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        switch (code) {
        case ZIP_ER_OPEN:
        case ZIP_ER_READ:
        case ZIP_ER_MEMORY:
            return QStringLiteral("Cannot open %1: %2.").arg(Quoted(path), detail);
        case ZIP_ER_NOZIP:
            return QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(Quoted(path));
        default:
            return QStringLiteral("%1 is not a readable Excel workbook (.xlsx): %2.").arg(Quoted(path), detail);
        }
    }

    enum class Result { Ok, Missing, Failed };

    // The unpacked bytes of entry `name` (case-insensitive, as part names
    // are), at most `cap` of them.
    Result Read(const QString& name, qint64 cap, QByteArray& out, QString& error)
    {
        out.clear();
        const zip_int64_t index = zip_name_locate(zip_, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return Result::Missing;
        zip_file_t* file = zip_fopen_index(zip_, zip_uint64_t(index), 0);
        if (!file) {
            error = QStringLiteral("%1 cannot be unpacked (%2)").arg(name, QString::fromLocal8Bit(zip_strerror(zip_)));
            return Result::Failed;
        }
        zip_stat_t st;
        if (zip_stat_index(zip_, zip_uint64_t(index), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
            out.reserve(qsizetype(std::min<zip_uint64_t>(st.size, zip_uint64_t(std::min<qint64>(cap, 16 << 20)))));
        std::unique_ptr<char[]> buffer(new char[1 << 16]);
        Result result = Result::Ok;
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer.get(), 1 << 16);
            if (n < 0) {
                error = QStringLiteral("%1 cannot be unpacked (%2)")
                            .arg(name, QString::fromLocal8Bit(zip_file_strerror(file)));
                result = Result::Failed;
                break;
            }
            if (n == 0)
                break;
            if (out.size() + n > cap) {
                error = QStringLiteral("%1 unpacks to more than %2 MiB").arg(name).arg(cap >> 20);
                result = Result::Failed;
                break;
            }
            out.append(buffer.get(), qsizetype(n));
        }
        zip_fclose(file);
        if (result != Result::Ok)
            out.clear();
        return result;
    }

private:
    zip_t* zip_ = nullptr;
};

bool IsCompoundDocument(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    static const char kMagic[8] = { '\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1' };
    return f.read(8) == QByteArray(kMagic, 8);
}

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
QString RelationsPartOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QLatin1String("_rels/") + part.mid(slash + 1) + QLatin1String(".rels");
}

class WorkbookReader {
public:
    explicit WorkbookReader(const QString& path)
        : path_(path)
    {
    }

    AtcWorkbookRead Run()
    {
        AtcWorkbookRead out;
        const QFileInfo info(path_);
        if (!info.exists()) {
            out.error = QStringLiteral("The file %1 does not exist.").arg(Quoted(path_));
            return out;
        }
        if (!info.isFile()) {
            out.error = QStringLiteral("%1 is not a file.").arg(Quoted(path_));
            return out;
        }
        if (IsCompoundDocument(path_)) {
            out.error
                = QStringLiteral("%1 is an Excel 97-2003 workbook (.xls) or a password-protected workbook. "
                                 "Please save it as an Excel Workbook (.xlsx) without a password and import that file.")
                      .arg(Quoted(path_));
            return out;
        }
        out.error = zip_.Open(path_);
        if (!out.error.isEmpty())
            return out;

        std::vector<SheetRow> rows;
        if (!ReadSheet(rows) || !ResolveRows(rows, out.rows)) {
            out.rows.clear();
            out.error = QStringLiteral("%1 is not a readable Excel workbook (.xlsx): %2.").arg(Quoted(path_), problem_);
            return out;
        }
        if (out.rows.size() == size_t(kMaxImportRows))
            out.rowsLeftOut = rowsBeyond_;
        out.ok = true;
        return out;
    }

private:
    bool Fail(const QString& problem)
    {
        problem_ = problem;
        return false;
    }

    // A missing part is an error, unless `found` is given: then it tells
    // whether the part is there.
    bool ReadPart(const QString& name, qint64 cap, QByteArray& out, bool* found = nullptr)
    {
        QString error;
        switch (zip_.Read(name, cap, out, error)) {
        case ZipPackage::Result::Ok:
            if (found)
                *found = true;
            return true;
        case ZipPackage::Result::Missing:
            if (found) {
                *found = false;
                return true;
            }
            return Fail(QStringLiteral("the part %1 is missing").arg(name));
        case ZipPackage::Result::Failed:
            break;
        }
        return Fail(error);
    }

    bool ReadRelations(const QString& part, WorkbookRelations& rels, bool* found = nullptr)
    {
        const QString name = RelationsPartOf(part);
        QByteArray xml;
        if (!ReadPart(name, kMaxSmallPartBytes, xml, found))
            return false;
        if (found && !*found)
            return true;
        rels = ParseRelationsXml(xml);
        return rels.ok || Fail(QStringLiteral("%1 is %2").arg(name, rels.error));
    }

    bool ReadSheet(std::vector<SheetRow>& rows)
    {
        // The package's own relations name the workbook part; older writers
        // may leave them out, and then it sits at its usual place.
        workbookPart_ = QStringLiteral("xl/workbook.xml");
        WorkbookRelations rootRels;
        bool haveRoot = false;
        if (!ReadRelations(QString(), rootRels, &haveRoot))
            return false;
        if (haveRoot) {
            if (const WorkbookRelation* r = FindRelationByType(rootRels, u"officeDocument")) {
                const QString part = ResolveWorkbookPart(QString(), r->target);
                if (!part.isEmpty())
                    workbookPart_ = part;
            }
        }

        QByteArray xml;
        if (!ReadPart(workbookPart_, kMaxSmallPartBytes, xml))
            return false;
        const WorkbookFirstSheet first = ParseWorkbookXml(xml);
        if (!first.ok)
            return Fail(QStringLiteral("%1: %2").arg(workbookPart_, first.error));

        if (!ReadRelations(workbookPart_, workbookRels_))
            return false;
        const WorkbookRelation* sheetRel = FindRelationById(workbookRels_, first.relationId);
        const QString sheetPart
            = sheetRel && !sheetRel->external ? ResolveWorkbookPart(workbookPart_, sheetRel->target) : QString();
        if (sheetPart.isEmpty())
            return Fail(QStringLiteral("the first sheet (relationship %1) is not in the file").arg(first.relationId));

        if (!ReadPart(sheetPart, kMaxSheetPartBytes, xml))
            return false;
        SheetScan scan = ParseSheetXml(xml, kMaxImportRows);
        if (!scan.ok)
            return Fail(QStringLiteral("%1 is %2").arg(sheetPart, scan.error));
        rows = std::move(scan.rows);
        rowsBeyond_ = scan.rowsBeyond;
        return true;
    }

    // The rows the import takes: 1, 2, ... up to the first whose column A is
    // empty after trimming, with shared strings filled in and cells trimmed.
    bool ResolveRows(const std::vector<SheetRow>& rows, std::vector<AtcWorkbookRow>& out)
    {
        size_t candidates = 0;
        std::vector<qint64> wanted;
        for (const SheetRow& row : rows) {
            const SheetCell& a = row.cells[0];
            if (row.number != int(candidates) + 1 || (a.sharedIndex < 0 && a.text.trimmed().isEmpty()))
                break;
            for (const SheetCell& c : row.cells) {
                if (c.sharedIndex >= 0)
                    wanted.push_back(c.sharedIndex);
            }
            ++candidates;
        }

        SharedStrings shared;
        if (!wanted.empty()) {
            std::sort(wanted.begin(), wanted.end());
            wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
            const WorkbookRelation* rel = FindRelationByType(workbookRels_, u"sharedStrings");
            const QString part
                = rel ? ResolveWorkbookPart(workbookPart_, rel->target) : QStringLiteral("xl/sharedStrings.xml");
            QByteArray xml;
            if (!ReadPart(part, kMaxSheetPartBytes, xml))
                return false;
            shared = ParseSharedStringsXml(xml, wanted);
            if (!shared.ok)
                return Fail(QStringLiteral("%1 is %2").arg(part, shared.error));
        }

        auto text = [&](const SheetCell& c, QString& into) {
            if (c.sharedIndex < 0) {
                into = c.text.trimmed();
                return true;
            }
            const auto it = shared.texts.find(c.sharedIndex);
            if (it == shared.texts.end())
                return Fail(QStringLiteral("a cell refers to shared string %1, which the file does not hold")
                                .arg(c.sharedIndex));
            into = it->second.trimmed();
            return true;
        };
        out.reserve(candidates);
        for (size_t i = 0; i < candidates; ++i) {
            const SheetRow& row = rows[i];
            AtcWorkbookRow r;
            if (!text(row.cells[0], r.classification))
                return false;
            if (r.classification.isEmpty())
                break;
            if (!text(row.cells[1], r.atc) || !text(row.cells[2], r.refer) || !text(row.cells[3], r.func))
                return false;
            out.push_back(std::move(r));
        }
        return true;
    }

    const QString path_;
    ZipPackage zip_;
    QString workbookPart_;
    WorkbookRelations workbookRels_;
    QString problem_;
    int rowsBeyond_ = 0;
};

} // namespace

QString WriteAtcWorkbook(const QString& path, const std::vector<AtcWorkbookRow>& rows)
{
    if (path.isEmpty())
        return QStringLiteral("No file name was given for the workbook.");
    if (QFileInfo(path).isDir())
        return QStringLiteral("Cannot write %1: it is a folder.").arg(Quoted(path));
    if (rows.size() >= LXW_ROW_MAX)
        return QStringLiteral("Cannot write %1: a sheet holds at most %2 rows.").arg(Quoted(path)).arg(LXW_ROW_MAX - 1);

    QString error;
    const QString temp = CreateSiblingFile(path, error);
    if (temp.isEmpty())
        return QStringLiteral("Cannot write %1: %2.").arg(Quoted(path), error);
    const QByteArray tempName = QFile::encodeName(temp);

    lxw_workbook_options options = {};
    std::unique_ptr<lxw_workbook, WorkbookCloser> wb(workbook_new_opt(tempName.constData(), &options));
    if (!wb) {
        QFile::remove(temp);
        return QStringLiteral("Cannot write %1: out of memory.").arg(Quoted(path));
    }
    error = WriteCells(wb.get(), rows, path);
    if (!error.isEmpty()) {
        QFile::remove(temp);
        return error;
    }
    const lxw_error closed = workbook_close(wb.release()); // frees the workbook too
    if (closed != LXW_NO_ERROR) {
        QFile::remove(temp);
        return QStringLiteral("Cannot write %1: %2").arg(Quoted(path), QString::fromUtf8(lxw_strerror(closed)));
    }
    if (QFileInfo::exists(path))
        QFile::setPermissions(temp, QFile::permissions(path));
    if (std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temp);
        return QStringLiteral("Cannot write %1: %2.").arg(Quoted(path), why);
    }
    return {};
}

AtcWorkbookRead ReadAtcWorkbook(const QString& path) { return WorkbookReader(path).Run(); }

} // namespace ulv
