#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace ulv {

namespace {
std::atomic<MessageBoxService*> g_service{nullptr};
}

void SetMessageBoxService(MessageBoxService* service)
{
    g_service.store(service);
}

MessageBoxService* GetMessageBoxService()
{
    return g_service.load();
}

int ShowMessageBox(const QString& text, unsigned flags, const QString& caption)
{
    if (MessageBoxService* s = g_service.load())
        return s->Show(text, caption, flags);
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return IDOK;
}

MessageBoxRecorder::MessageBoxRecorder(int defaultAnswer)
    : m_default(defaultAnswer)
    , m_previous(GetMessageBoxService())
{
    SetMessageBoxService(this);
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxService(m_previous);
}

int MessageBoxRecorder::Show(const QString& text, const QString& caption, unsigned flags)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_boxes.push_back({text, caption, flags});
    m_shown.notify_all();
    if (m_answers.empty())
        return m_default;
    const int a = m_answers.front();
    m_answers.pop_front();
    return a;
}

void MessageBoxRecorder::Answer(int answer)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_answers.push_back(answer);
}

std::vector<MessageBoxRecorder::Box> MessageBoxRecorder::Boxes() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_boxes;
}

QStringList MessageBoxRecorder::Texts() const
{
    std::lock_guard<std::mutex> g(m_lock);
    QStringList t;
    for (const Box& b : m_boxes)
        t << b.text;
    return t;
}

int MessageBoxRecorder::Count() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return static_cast<int>(m_boxes.size());
}

void MessageBoxRecorder::Clear()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_boxes.clear();
    m_answers.clear();
}

bool MessageBoxRecorder::WaitForCount(int n, int timeoutMs) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // The UI thread may be the one that has to show the box: it keeps running
    // its events; any other thread waits for the box itself.
    if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread()) {
        while (Count() < n) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    std::unique_lock<std::mutex> g(m_lock);
    return m_shown.wait_until(g, end, [&] { return int(m_boxes.size()) >= n; });
}

} // namespace ulv
