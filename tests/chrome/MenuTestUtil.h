#pragma once

#include "common/EventLoopWait.h"
#include "ui/chrome/WinMenu.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace ulv::test {

inline QRgb Ref(COLORREF c) { return ColorRefToRgb(c); }

// A window that records the messages it gets and answers none.
class MessageLog : public QWidget {
public:
    struct Entry {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Entry> entries;
    std::function<bool(WinMessageEvent*)> handler;

    int Count(UINT message) const
    {
        int n = 0;
        for (const Entry& e : entries)
            n += e.message == message ? 1 : 0;
        return n;
    }
    const Entry* Last(UINT message) const
    {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->message == message)
                return &*it;
        }
        return nullptr;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == WinMessageEvent::EventType()) {
            auto* m = static_cast<WinMessageEvent*>(e);
            entries.push_back({ m->message, m->wParam, m->lParam });
            return handler ? handler(m) : false;
        }
        return QWidget::event(e);
    }
};

// Paints one owner-drawn item through a draw handler into a fresh image
// filled with magenta (so unpainted pixels show).
inline QImage PaintItem(const std::function<void(DRAWITEMSTRUCT*)>& draw, std::uintptr_t data, const QSize& size,
    UINT state = 0, HMENU menu = nullptr)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 255));
    QPainter p(&img);
    DRAWITEMSTRUCT dis;
    dis.hDC = &p;
    dis.rcItem = QRect(QPoint(0, 0), size);
    dis.itemData = data;
    dis.itemState = state;
    dis.hwndItem = menu;
    draw(&dis);
    p.end();
    return img;
}

// Runs job once the popup that is about to open is shown (from the nested
// loop of the tracking call made right after this): a QMenu, or the menu
// layer's own popup for menus in columns. A popup the job leaves open is
// closed after a generous deadline, so a failing test ends instead of
// hanging in the menu loop.
inline void WhenPopupWidgetShown(std::function<void(QWidget*)> job)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, job, started] {
        QWidget* popup = QApplication::activePopupWidget();
        const bool late = started->elapsed() > 20000;
        if (!late && (!popup || !popup->isVisible()))
            return;
        timer->stop();
        timer->deleteLater();
        if (late) {
            if (popup)
                popup->close();
            ADD_FAILURE() << "the popup did not show, or stayed open";
            return;
        }
        job(popup);
    });
    timer->start();
}

inline void WhenPopupShown(std::function<void(QMenu*)> job)
{
    WhenPopupWidgetShown([job](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr) << "the popup is not a QMenu";
        job(menu);
    });
}

inline void Key(QWidget* w, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
}

} // namespace ulv::test
