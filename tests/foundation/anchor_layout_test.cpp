// Anchoring offsets, placement on resize and the minimum size of resizable dialogs.
#include <gtest/gtest.h>

#include "foundation/CNAnchorLayout.h"

namespace {

// The words the main dialog and the About box use.
constexpr DWORD kWiden = 2;
constexpr DWORD kFollowRight = 3;
constexpr DWORD kGrow = 10;
constexpr DWORD kFollowCorner = 15;

SPixelRect PlaceOne(DWORD flags, const SPixelRect& rect, int width, int height, int newWidth,
                    int newHeight) {
    CNAnchorLayout layout;
    layout.Prepare(0, 0);
    EXPECT_TRUE(layout.AddControl(1002, flags, rect, width, height));
    return CNAnchorLayout::Place(layout.GetControls().GetHead()->m_data, newWidth, newHeight);
}

} // namespace

TEST(AnchorLayout, OffsetsAreTakenForEveryEdgeAgainstItsReference) {
    CNAnchorLayout layout;
    // Left reference 64/128 of the width, bottom reference 32/128 of the height.
    DWORD flags = kWiden | (64u << 4) | (32u << 25);
    ASSERT_TRUE(layout.AddControl(7, flags, {10, 20, 110, 40}, 400, 200));
    const SResizableControl& c = layout.GetControls().GetHead()->m_data;
    EXPECT_EQ(7u, c.id);
    EXPECT_DOUBLE_EQ(200.0 - 10, c.leftOffset);
    EXPECT_DOUBLE_EQ(400.0 - 110, c.rightOffset);
    EXPECT_DOUBLE_EQ(200.0 - 20, c.topOffset);
    EXPECT_DOUBLE_EQ(50.0 - 40, c.bottomOffset);
}

TEST(AnchorLayout, TheProgramsWordsMoveAndStretchTheRightEdges) {
    const SPixelRect combo{10, 10, 300, 30};
    EXPECT_EQ((SPixelRect{10, 10, 400, 30}), PlaceOne(kWiden, combo, 400, 300, 500, 380));
    const SPixelRect button{320, 10, 390, 30};
    EXPECT_EQ((SPixelRect{420, 10, 490, 30}), PlaceOne(kFollowRight, button, 400, 300, 500, 380));
    const SPixelRect list{10, 40, 390, 290};
    EXPECT_EQ((SPixelRect{10, 40, 490, 370}), PlaceOne(kGrow, list, 400, 300, 500, 380));
    const SPixelRect ok{320, 260, 390, 290};
    EXPECT_EQ((SPixelRect{420, 340, 490, 370}), PlaceOne(kFollowCorner, ok, 400, 300, 500, 380));
    // Back to the registered size puts every control back where it was.
    EXPECT_EQ(list, PlaceOne(kGrow, list, 400, 300, 400, 300));
}

TEST(AnchorLayout, FractionalReferencesTruncateTowardsZero) {
    // Both edges follow the middle of the width: a centred control of 40 pixels.
    DWORD flags = kFollowRight | (64u << 4) | (64u << 11);
    const SPixelRect centred{180, 0, 220, 20};
    EXPECT_EQ((SPixelRect{230, 0, 270, 20}), PlaceOne(flags, centred, 400, 100, 500, 100));
    // Width 401: the middle is 200.5, the edges 200.5 - 20 and 200.5 + 20, truncated.
    EXPECT_EQ((SPixelRect{180, 0, 220, 20}), PlaceOne(flags, centred, 400, 100, 401, 100));
    // A client area narrower than the offsets gives negative edges; they are truncated towards
    // zero, not rounded down: -1.5 becomes -1 and -0.5 becomes 0.
    EXPECT_EQ((SPixelRect{10, 10, -89, 30}),
              PlaceOne(kWiden, {10, 10, 300, 30}, 400, 300, 11, 300));
    SPixelRect r = PlaceOne(flags, {0, 0, 1, 1}, 3, 3, 0, 3);
    EXPECT_EQ(-1, r.left);
    EXPECT_EQ(0, r.right);
}

TEST(AnchorLayout, LimitSizingKeepsTheInitialSizeFromTheTopLeft) {
    CNAnchorLayout layout;
    layout.Prepare(400, 300);
    SPixelRect dragged{50, 60, 300, 500};
    EXPECT_TRUE(layout.LimitSizing(dragged));
    EXPECT_EQ((SPixelRect{50, 60, 450, 500}), dragged);
    dragged = {50, 60, 800, 100};
    EXPECT_TRUE(layout.LimitSizing(dragged));
    EXPECT_EQ((SPixelRect{50, 60, 800, 360}), dragged);
    dragged = {50, 60, 450, 360};
    EXPECT_FALSE(layout.LimitSizing(dragged));
    // No minimum without an initial size.
    layout.Prepare(0, 0);
    dragged = {0, 0, 1, 1};
    EXPECT_FALSE(layout.LimitSizing(dragged));
    EXPECT_EQ((SPixelRect{0, 0, 1, 1}), dragged);
}

TEST(AnchorLayout, PrepareForgetsTheControls) {
    CNAnchorLayout layout;
    ASSERT_TRUE(layout.AddControl(1, kWiden, {0, 0, 1, 1}, 10, 10));
    ASSERT_TRUE(layout.AddControl(2, kGrow, {0, 0, 1, 1}, 10, 10));
    EXPECT_EQ(2, layout.GetControls().GetCount());
    EXPECT_EQ(2u, layout.GetControls().GetTail()->m_data.id);
    layout.Prepare(20, 20);
    EXPECT_EQ(0, layout.GetControls().GetCount());
    EXPECT_EQ(20, layout.GetInitialWidth());
}
