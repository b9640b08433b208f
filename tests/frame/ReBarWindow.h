#pragma once

#include "ui/chrome/CCommandReBar.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <gtest/gtest.h>

// A shown window carrying the program's command rebar.
class ReBarWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(900, 300);
        ASSERT_TRUE(rebar.Create(&window, 128, 128, 0xCDCDCD, 0xCDCDCD, 0xCDCDCD, 0x646464, 45, 0xE800));
        window.show();
        QApplication::processEvents();
    }
    QImage OpenAndGrab(QMenu* menu)
    {
        menu->popup(window.mapToGlobal(QPoint(10, 40)));
        QApplication::processEvents();
        return menu->grab().toImage();
    }
    QMainWindow window;
    ulv::CCommandReBar rebar;
};
