#include "pages/data/CDomainParseDlg.h"

#include "common/EventLoopWait.h"
#include "platform/MessageBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/WinLook.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QThreadPool>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <mutex>

namespace ulv {
namespace {

// Stands in for the system's resolver: answers from a table, records the names
// asked, and can hold its answer until released.
class FakeResolver {
public:
    FakeResolver()
    {
        m_previous = CDomainParseDlg::SetResolver([this](const QString& name) { return Resolve(name); });
    }
    ~FakeResolver()
    {
        Release();
        CDomainParseDlg::SetResolver(m_previous);
    }

    void Answer(const QString& name, std::optional<QStringList> addresses)
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_answers[name] = std::move(addresses);
    }
    void Hold() { m_gate = m_release.get_future().share(); }
    void Release()
    {
        if (!m_released.exchange(true))
            m_release.set_value();
    }
    QStringList Asked() const
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_asked;
    }

private:
    std::optional<QStringList> Resolve(const QString& name)
    {
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_asked << name;
        }
        if (m_gate.valid())
            m_gate.wait();
        std::lock_guard<std::mutex> g(m_lock);
        auto it = m_answers.find(name);
        return it == m_answers.end() ? std::nullopt : it->second;
    }

    mutable std::mutex m_lock;
    std::map<QString, std::optional<QStringList>> m_answers;
    QStringList m_asked;
    std::promise<void> m_release;
    std::shared_future<void> m_gate;
    std::atomic<bool> m_released{false};
    CDomainParseDlg::Resolver m_previous;
};

class DomainParseDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg = std::make_unique<CDomainParseDlg>();
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    }

    void LookUp(const QString& name)
    {
        dlg->m_editHostName->setText(name);
        QTest::mouseClick(dlg->m_btnGetIp, Qt::LeftButton);
        ASSERT_TRUE(test::RunEventsUntil([&] { return !dlg->LookupRunning(); }, 5000));
    }

    FakeResolver resolver;
    MessageBoxRecorder boxes;
    std::unique_ptr<CDomainParseDlg> dlg;
};

TEST_F(DomainParseDlgTest, ListsEveryAddressOnItsOwnLine)
{
    resolver.Answer("multi.example", QStringList{"10.1.2.3", "10.1.2.4", "172.16.0.9"});
    dlg->m_editResult->setPlainText("old\r\n");

    LookUp("  multi.example ");

    EXPECT_EQ(resolver.Asked(), QStringList{"multi.example"});
    EXPECT_EQ(dlg->ResultText(), "10.1.2.3\r\n10.1.2.4\r\n172.16.0.9\r\n");
    // Shown as lines, not as one line with control characters in it.
    EXPECT_EQ(dlg->m_editResult->document()->findBlockByNumber(1).text(), "10.1.2.4");
    EXPECT_EQ(dlg->m_editHostName->text(), "  multi.example ");
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_TRUE(dlg->m_btnGetIp->isEnabled());
}

TEST_F(DomainParseDlgTest, FailureEmptiesTheNameAndKeepsTheResult)
{
    resolver.Answer("good.example", QStringList{"192.0.2.1"});
    LookUp("good.example");
    ASSERT_EQ(dlg->ResultText(), "192.0.2.1\r\n");

    LookUp("bad.example");

    EXPECT_EQ(boxes.Texts(), QStringList{"Invalid name!"});
    EXPECT_EQ(dlg->m_editHostName->text(), "");
    EXPECT_EQ(dlg->ResultText(), "192.0.2.1\r\n");
    EXPECT_TRUE(dlg->m_btnGetIp->isEnabled());
}

TEST_F(DomainParseDlgTest, EmptyNameDoesNothing)
{
    dlg->m_editResult->setPlainText("192.0.2.1\r\n");
    for (const char* name : {"", "   "}) {
        LookUp(name);
        EXPECT_TRUE(resolver.Asked().isEmpty()) << '"' << name << '"';
        EXPECT_TRUE(boxes.Texts().isEmpty()) << '"' << name << '"';
        EXPECT_EQ(dlg->ResultText(), "192.0.2.1\r\n");
    }
}

TEST_F(DomainParseDlgTest, ButtonWaitsForTheAnswerAndEnterNeverCloses)
{
    resolver.Answer("slow.example", QStringList{"198.51.100.20"});
    resolver.Hold();
    dlg->m_editHostName->setText("slow.example");
    dlg->m_editHostName->setFocus();
    QTest::keyClick(dlg->m_editHostName, Qt::Key_Return);
    ASSERT_TRUE(test::RunEventsUntil([&] { return !resolver.Asked().isEmpty(); }, 5000));

    EXPECT_TRUE(dlg->LookupRunning());
    EXPECT_FALSE(dlg->m_btnGetIp->isEnabled());
    // A second Enter meanwhile starts nothing and closes nothing.
    QTest::keyClick(dlg->m_editHostName, Qt::Key_Return);
    QTest::keyClick(dlg->m_editHostName, Qt::Key_Enter);
    EXPECT_TRUE(dlg->isVisible());

    resolver.Release();
    ASSERT_TRUE(test::RunEventsUntil([&] { return !dlg->LookupRunning(); }, 5000));
    EXPECT_EQ(resolver.Asked(), QStringList{"slow.example"});
    EXPECT_EQ(dlg->ResultText(), "198.51.100.20\r\n");
    EXPECT_TRUE(dlg->m_btnGetIp->isEnabled());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(DomainParseDlgTest, EscapeClosesAndALateAnswerIsDropped)
{
    dlg->m_editResult->setPlainText("192.0.2.1\r\n");
    resolver.Hold(); // no answer for the name: it would fail with a box
    dlg->m_editHostName->setText("late.example");
    QTest::mouseClick(dlg->m_btnGetIp, Qt::LeftButton);
    ASSERT_TRUE(test::RunEventsUntil([&] { return !resolver.Asked().isEmpty(); }, 5000));

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);

    resolver.Release();
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(dlg->m_editHostName->text(), "late.example");
    EXPECT_EQ(dlg->ResultText(), "192.0.2.1\r\n");
    // Opened again, it looks up at once.
    EXPECT_TRUE(dlg->m_btnGetIp->isEnabled());
}

TEST_F(DomainParseDlgTest, DestroyedDuringALookup)
{
    resolver.Answer("gone.example", QStringList{"203.0.113.5"});
    resolver.Hold();
    dlg->m_editHostName->setText("gone.example");
    QTest::mouseClick(dlg->m_btnGetIp, Qt::LeftButton);
    ASSERT_TRUE(test::RunEventsUntil([&] { return !resolver.Asked().isEmpty(); }, 5000));
    dlg.reset();

    resolver.Release();
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST_F(DomainParseDlgTest, CaptionAndLook)
{
    EXPECT_EQ(dlg->windowTitle(), "Domain name analyse");
    EXPECT_EQ(dlg->objectName(), "CDomainParseDlg");
    EXPECT_EQ(dlg->m_btnGetIp->text(), "Get IP address");
    EXPECT_TRUE(dlg->m_editResult->isReadOnly());

    const QImage img = dlg->grab().toImage();
    EXPECT_EQ(img.pixel(4, 4), ColorRefToRgb(0xCDCDCD));
    const QRect box = dlg->m_editResult->geometry();
    EXPECT_EQ(img.pixel(box.left() + 20, box.center().y()), ColorRefToRgb(0xCDCDCD));
}

} // namespace
} // namespace ulv
