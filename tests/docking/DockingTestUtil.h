#pragma once

#include "ui/chrome/CAutoHideFrame.h"
#include "ui/chrome/CDockPageBar.h"

#include <QApplication>
#include <QLabel>

namespace ulv::test {

// A shown frame with a work area, ready for bars.
struct DockFrame {
    DockFrame()
    {
        frame.setCentralWidget(new QLabel(QStringLiteral("work")));
        frame.resize(800, 600);
        frame.EnableDocking(CBRS_ALIGN_ANY);
        frame.show();
        QApplication::processEvents();
    }
    // A docked page bar with one plain page per title.
    CDockPageBar* AddBar(int id, Qt::DockWidgetArea area, const QStringList& titles)
    {
        auto* bar = new CDockPageBar;
        bar->Create(QStringLiteral("Bar %1").arg(id), &frame, id);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        for (const QString& t : titles)
            bar->AddPage(new QLabel(t), t);
        frame.addDockWidget(area, bar);
        bar->show();
        QApplication::processEvents();
        return bar;
    }
    CAutoHideFrame frame;
};

} // namespace ulv::test
