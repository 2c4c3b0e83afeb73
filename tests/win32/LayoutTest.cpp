// The window's layout table and the conversion of twips into pixels.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <stdexcept>

#include "app/win32/Layout.h"

namespace {

using namespace app;
using namespace app::win32;

TEST(Layout, TwipsBecomePixelsAtTheScreensResolution) {
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(twipsToPixels(11175, 96), 745);
    EXPECT_EQ(twipsToPixels(7815, 96), 521);
    EXPECT_EQ(twipsToPixels(11175, 120), 931);   // 931.25
    EXPECT_EQ(twipsToPixels(11175, 144), 1118);  // 1117.5 rounds up
    EXPECT_EQ(twipsToPixels(7, 96), 0);          // 0.47
    EXPECT_EQ(twipsToPixels(8, 96), 1);          // 0.53
    EXPECT_EQ(twipsToPixels(0, 192), 0);
}

TEST(Layout, EveryControlHasItsOwnIdInTabOrder) {
    std::set<int> ids;
    int previous = 0;
    for (const ControlDescription& description : kControls) {
        const int id = idOf(description.control);
        ids.insert(id);
        EXPECT_GT(id, previous) << "ids follow the tab order";
        EXPECT_GT(id, IDCANCEL) << "the dialog manager's own ids stay free";
        previous = id;
    }
    EXPECT_EQ(ids.size(), kControls.size());
}

TEST(Layout, EveryControlLiesInsideTheWindowAndTheFramesControlsInsideTheFrame) {
    const Twips frame = positionInWindow(Control::fraUndo);
    for (const ControlDescription& description : kControls) {
        SCOPED_TRACE(idOf(description.control));
        const Twips at = positionInWindow(description.control);
        EXPECT_GE(at.left, 0);
        EXPECT_GE(at.top, 0);
        EXPECT_LE(at.left + at.width, kClientWidthTwips);
        EXPECT_LE(at.top + at.height, kClientHeightTwips);
        if (description.inFrame) {
            EXPECT_GT(at.left, frame.left);
            EXPECT_GT(at.top, frame.top);
            EXPECT_LE(at.left + at.width, frame.left + frame.width);
            EXPECT_LE(at.top + at.height, frame.top + frame.height);
        }
    }
    const Twips idFrom = positionInWindow(Control::txtIDVon);
    EXPECT_EQ(idFrom.left, 3705 + 735);
    EXPECT_EQ(idFrom.top, 6615 + 315);
}

bool overlap(const Twips& a, const Twips& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(Layout, NoControlCoversAnotherButTheFrameItsOwnAndTheHeadingTheSourceRow) {
    // The heading's box reaches down into the source row, beside its short text.
    const auto mayOverlap = [](const ControlDescription& a, const ControlDescription& b) {
        return (a.control == Control::fraUndo && b.inFrame) ||
               (a.control == Control::lblHeader && (b.control == Control::cmdOpen || b.control == Control::txtADR));
    };
    for (const ControlDescription& first : kControls) {
        for (const ControlDescription& second : kControls) {
            if (&first >= &second || mayOverlap(first, second) || mayOverlap(second, first)) continue;
            EXPECT_FALSE(overlap(positionInWindow(first.control), positionInWindow(second.control)))
                << idOf(first.control) << " and " << idOf(second.control);
        }
    }
}

TEST(Layout, TheSourceRowsCaptionFolderButtonAndTextBoxStandSideBySide) {
    const Twips caption = positionInWindow(Control::Label0);
    const Twips button = positionInWindow(Control::cmdOpen);
    const Twips directory = positionInWindow(Control::txtADR);
    // The caption takes a dialog font's 197 pixels at 96 dots per inch, with a little room.
    EXPECT_GE(twipsToPixels(caption.width, 96), 199);
    EXPECT_LT(caption.left + caption.width, button.left);
    EXPECT_LT(button.left + button.width, directory.left);
}

TEST(Layout, EveryControlMapsToItsChildIdAndBack) {
    for (const ControlDescription& description : kControls) {
        EXPECT_EQ(controlOf(idOf(description.control)), description.control);
        EXPECT_EQ(&descriptionOf(description.control), &description);
    }
    EXPECT_EQ(controlOf(IDOK), std::nullopt);
    EXPECT_EQ(controlOf(kFirstControlId - 1), std::nullopt);
    EXPECT_EQ(controlOf(kFirstControlId + static_cast<int>(kControls.size())), std::nullopt);
    EXPECT_EQ(controlOf(4711), std::nullopt);
    EXPECT_THROW(descriptionOf(static_cast<Control>(kControls.size())), std::out_of_range);
}

}  // namespace
