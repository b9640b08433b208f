// ulvprobe workbook-read: the rows an import would take, as JSON lines.
#include "atlib/core/AtcWorkbook.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(WorkbookProbe, PrintsTheImportedRowsOrTheError)
{
#ifndef ULVPROBE_PATH
    GTEST_SKIP() << "ulvprobe is not built";
#else
    QTemporaryDir dir;
    const QString path = dir.filePath("probe.xlsx");
    ASSERT_EQ(
        ulv::WriteAtcWorkbook(path, { { "SMS", "AT+CMGF=1", "0: PDU\r\n1: text", QString::fromUtf8("短信 \"x\"") } }),
        QString());

    QProcess p;
    p.start(ULVPROBE_PATH, { "workbook-read", path });
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject row = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(row["row"].toInt(), 2);
    EXPECT_EQ(row["classification"].toString(), "SMS");
    EXPECT_EQ(row["refer"].toString(), "0: PDU\r\n1: text");
    EXPECT_EQ(row["func"].toString(), QString::fromUtf8("短信 \"x\""));

    const QString missing = dir.filePath("missing.xlsx");
    p.start(ULVPROBE_PATH, { "workbook-read", missing });
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(missing));
#endif
}

} // namespace
