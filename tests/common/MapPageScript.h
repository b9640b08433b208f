#pragma once

// For tests of the map pages in the embedded browser: the page files and the
// value of a script expression on a loaded page. Tests using it link
// Qt6::WebEngineWidgets.

#include "common/EventLoopWait.h"
#include "ui/maps/CWebBrowser2.h"

#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <QWebEnginePage>
#include <gtest/gtest.h>

// Outside the namespace: the resource's initialiser is a global function.
inline void InitMapPageResources() { Q_INIT_RESOURCE(ulvmaps); }

namespace ulv::test {

// Loads and answers come from a browser process on a busy machine.
constexpr int kMapLoadMs = 60000;

// The two map page files, copied from the program's resources into dir.
inline void CopyMapPages(const QTemporaryDir& dir)
{
    InitMapPageResources();
    for (const char* name : {"morvane_google.html", "morvane_baidu.html"})
        QFile::copy(QStringLiteral(":/map/") + name, dir.filePath(name));
}

// The value of a script expression on the browser's page.
inline QVariant EvaluateOnPage(CWebBrowser2& browser, const QString& expression)
{
    bool done = false;
    QVariant value;
    browser.Page()->runJavaScript(expression, [&](const QVariant& v) {
        value = v;
        done = true;
    });
    EXPECT_TRUE(RunEventsUntil([&] { return done; }, kMapLoadMs)) << expression.toStdString();
    return value;
}

} // namespace ulv::test
