#include "shell/QtMessageBoxService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;

TEST(QtMessageBoxService, FlagsMapToButtonsAndIcons)
{
    struct Case {
        unsigned flags;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {MB_OK, QMessageBox::Ok, QMessageBox::NoIcon},
        {MB_OKCANCEL | MB_ICONWARNING, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question},
        {MB_YESNOCANCEL | MB_ICONINFORMATION, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::Information},
        {MB_OK | MB_ICONERROR, QMessageBox::Ok, QMessageBox::Critical},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QtMessageBoxService::ButtonsFor(c.flags), c.buttons) << c.flags;
        EXPECT_EQ(QtMessageBoxService::IconFor(c.flags), c.icon) << c.flags;
    }
    EXPECT_EQ(QtMessageBoxService::AnswerFor(QMessageBox::Ok), IDOK);
    EXPECT_EQ(QtMessageBoxService::AnswerFor(QMessageBox::Cancel), IDCANCEL);
    EXPECT_EQ(QtMessageBoxService::AnswerFor(QMessageBox::Yes), IDYES);
    EXPECT_EQ(QtMessageBoxService::AnswerFor(QMessageBox::No), IDNO);
}

TEST(QtMessageBoxService, AWorkersBoxShowsOnTheUiThreadAndWaitsForTheAnswer)
{
    QtMessageBoxService service;
    std::atomic<int> answer{0};
    QString text, title;
    int answerWhileShown = -1;
    // The box runs its own loop on this thread; the timer answers it from there.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        text = box->text();
        title = box->windowTitle();
        answerWhileShown = answer.load();
        box->button(QMessageBox::No)->click();
    });
    poll.start(10);
    std::thread worker([&] { answer = service.Show("Please make sure to exit?", "Ulvenscope", MB_YESNO); });
    const bool answered = QTest::qWaitFor([&] { return answer.load() != 0; }, 5000);
    worker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(text, "Please make sure to exit?");
    EXPECT_EQ(title, "Ulvenscope");
    EXPECT_EQ(answerWhileShown, 0) << "the worker waits for the answer";
    EXPECT_EQ(answer.load(), IDNO);
}

TEST(QtMessageBoxService, EscapeOnAPlainBoxAnswersOk)
{
    QtMessageBoxService service;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            poll.stop();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    poll.start(10);
    EXPECT_EQ(service.Show("Success to save parameters!", "Ulvenscope", MB_OK), IDOK);
}
