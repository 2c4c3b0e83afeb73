// The running count and the progress bar, held and drawn at most once per interval.

#include <gtest/gtest.h>

#include "app/win32/ThrottledDisplay.h"

namespace {

using app::Control;
using app::win32::ThrottledDisplay;
using namespace std::chrono_literals;

const ThrottledDisplay::Clock::time_point kStart{};

TEST(ThrottledDisplay, NothingHeldIsNeverDue) {
    ThrottledDisplay display(50ms);
    EXPECT_FALSE(display.holdsAnything());
    EXPECT_FALSE(display.due(kStart));
    EXPECT_FALSE(display.heldText(Control::lblListenkommentar));
}

TEST(ThrottledDisplay, TheFirstChangeIsDueAtOnceAndTheNextOnlyAfterTheInterval) {
    ThrottledDisplay display(50ms);
    display.holdText(Control::lblListenkommentar, "1");
    ASSERT_TRUE(display.due(kStart));
    EXPECT_EQ(display.take(kStart).texts.at(Control::lblListenkommentar), "1");
    EXPECT_FALSE(display.holdsAnything());

    display.holdText(Control::lblListenkommentar, "2");
    EXPECT_FALSE(display.due(kStart + 1ms));
    EXPECT_FALSE(display.due(kStart + 49ms));
    EXPECT_TRUE(display.due(kStart + 50ms));
}

TEST(ThrottledDisplay, TheLatestValuesWaitAndAreReadBackUntilDrawn) {
    ThrottledDisplay display(50ms);
    display.holdText(Control::lblListenkommentar, "1");
    display.take(kStart);

    display.holdText(Control::lblListenkommentar, "1.233");
    display.holdProgress(7);
    display.holdText(Control::lblListenkommentar, "1.234");
    display.holdProgress(8);
    EXPECT_EQ(display.heldText(Control::lblListenkommentar), "1.234") << "what the control will show";
    EXPECT_FALSE(display.heldText(Control::txtADR));

    const ThrottledDisplay::Held held = display.take(kStart + 10ms);  // drawn early, as before a message box
    EXPECT_EQ(held.texts, (std::map<Control, std::string>{{Control::lblListenkommentar, "1.234"}}));
    EXPECT_EQ(held.progress, 8);
    EXPECT_FALSE(display.holdsAnything());

    display.holdProgress(9);
    EXPECT_FALSE(display.due(kStart + 59ms)) << "the interval counts from the last drawing";
    EXPECT_TRUE(display.due(kStart + 60ms));
    EXPECT_EQ(display.take(kStart + 60ms).progress, 9);
}

}  // namespace
