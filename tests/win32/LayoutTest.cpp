// The window's layout table and the conversion of twips into pixels.

#include <gtest/gtest.h>

#include <set>

#include "app/win32/Layout.h"

namespace {

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

TEST(Layout, EveryControlHasItsOwnIdAndTabIndex) {
    std::set<int> ids;
    std::set<int> tabIndices;
    for (const ControlLayout& layout : kControls) {
        ids.insert(layout.id);
        tabIndices.insert(layout.tabIndex);
    }
    EXPECT_EQ(ids.size(), kControls.size());
    EXPECT_EQ(tabIndices.size(), kControls.size());
    EXPECT_EQ(*tabIndices.begin(), 0);
    EXPECT_EQ(*tabIndices.rbegin(), static_cast<int>(kControls.size()) - 1);
}

TEST(Layout, EveryControlLiesInsideTheWindowAndTheFramesControlsInsideTheFrame) {
    const Twips frame = specOf(kFraUndo).position;
    for (const ControlLayout& layout : kControls) {
        SCOPED_TRACE(layout.id);
        const Twips at = positionInWindow(layout);
        EXPECT_GE(at.left, 0);
        EXPECT_GE(at.top, 0);
        EXPECT_LE(at.left + at.width, kClientWidthTwips);
        EXPECT_LE(at.top + at.height, kClientHeightTwips);
        if (layout.inFrame) {
            EXPECT_GT(at.left, frame.left);
            EXPECT_GT(at.top, frame.top);
            EXPECT_LE(at.left + at.width, frame.left + frame.width);
            EXPECT_LE(at.top + at.height, frame.top + frame.height);
        }
    }
    const Twips idFrom = positionInWindow(specOf(kTxtIDVon));
    EXPECT_EQ(idFrom.left, 3705 + 735);
    EXPECT_EQ(idFrom.top, 6615 + 315);
}

bool overlap(const Twips& a, const Twips& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(Layout, NoControlCoversAnotherButTheFrameItsOwnAndTheHeadingTheSourceRow) {
    // The heading's box reaches down into the source row, beside its short text.
    const auto mayOverlap = [](const ControlLayout& a, const ControlLayout& b) {
        return (a.id == kFraUndo && b.inFrame) || (a.id == kLblHeader && (b.id == kCmdOpen || b.id == kTxtADR));
    };
    for (const ControlLayout& first : kControls) {
        for (const ControlLayout& second : kControls) {
            if (&first >= &second || mayOverlap(first, second) || mayOverlap(second, first)) continue;
            EXPECT_FALSE(overlap(positionInWindow(first), positionInWindow(second)))
                << first.id << " and " << second.id;
        }
    }
}

TEST(Layout, TheSourceRowsCaptionFolderButtonAndTextBoxStandSideBySide) {
    const Twips caption = specOf(kLabel0).position;
    const Twips button = specOf(kCmdOpen).position;
    const Twips directory = specOf(kTxtADR).position;
    // The caption takes a dialog font's 197 pixels at 96 dots per inch, with a little room.
    EXPECT_GE(twipsToPixels(caption.width, 96), 199);
    EXPECT_LT(caption.left + caption.width, button.left);
    EXPECT_LT(button.left + button.width, directory.left);
}

TEST(Layout, TheLogicsControlsMapToChildIdsAndBack) {
    std::set<int> ids;
    for (const app::Control control :
         {app::Control::txtADR, app::Control::lblDatenpool, app::Control::scrFortschritt, app::Control::cmdStart,
          app::Control::lblListenkommentar, app::Control::lstImport, app::Control::cmdAdressen, app::Control::cmdOpen,
          app::Control::cmdImport, app::Control::cmdUndo, app::Control::txtIDVon, app::Control::txtIdBis}) {
        const int id = idOf(control);
        ids.insert(id);
        EXPECT_EQ(controlOf(id), control);
        EXPECT_NO_THROW(specOf(id));
    }
    EXPECT_EQ(ids.size(), 12U);
    for (const int id : {kLblHeader, kLabel0, kLabel1, kLabel2, kLabel3, kFraUndo})
        EXPECT_EQ(controlOf(id), std::nullopt);
    EXPECT_THROW(specOf(4711), std::out_of_range);
}

}  // namespace
