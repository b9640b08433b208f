#include "platform/Gui.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace ulv::Gui {

bool IsUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void Post(std::function<void()> fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void Call(const std::function<void()>& fn)
{
    if (IsUiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

} // namespace ulv::Gui
