#include "platform/MessageBox.h"

#include <gtest/gtest.h>
#include <thread>

using namespace ulv;

TEST(MessageBoxRecorder, RecordsAndAnswersInOrderFromAnyThread)
{
    MessageBoxRecorder rec(IDNO);
    rec.Answer(IDYES);
    int first = 0;
    std::thread t([&] { first = ShowMessageBox("Please make sure to exit?", MB_YESNO | MB_ICONQUESTION); });
    t.join();
    EXPECT_EQ(first, IDYES);
    EXPECT_EQ(ShowMessageBox("again", MB_YESNO), IDNO);
    ASSERT_EQ(rec.Count(), 2);
    EXPECT_EQ(rec.Boxes()[0].text, "Please make sure to exit?");
    EXPECT_EQ(rec.Boxes()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
}
