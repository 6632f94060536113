// What the timeline window shows: zoom and pan limits, the clock axis, the layout and the pixels.
#include <vector>

#include <gtest/gtest.h>

#include "results/hopwatch_colors.h"
#include "timeline/CTimelineViewport.h"
#include "timeline/timeline_raster.h"

TEST(TimelineViewport, ZoomKeepsTheTimeUnderTheMouseBetweenTenSecondsAndTheWholeRun) {
    CTimelineViewport view;
    view.Update(3600, 1000);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kWholeRun);
    EXPECT_EQ(view.GetSpan(), 3600.0);
    view.ZoomAt(500, 0.5);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kFixed);
    EXPECT_EQ(view.GetSpan(), 1800.0);
    EXPECT_EQ(view.SecondsAt(500), 1800.0);
    view.Update(4000, 1000); // the run goes on; a fixed view stays
    EXPECT_EQ(view.GetFrom(), 900.0);
    for (int i = 0; i < 20; ++i)
        view.ZoomAt(0, 0.5);
    EXPECT_EQ(view.GetSpan(), 10.0); // a second is a hundred pixels wide
    EXPECT_EQ(view.GetFrom(), 900.0);
    for (int i = 0; i < 20; ++i)
        view.ZoomAt(0, 2.0);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kWholeRun);
    EXPECT_EQ(view.GetTo(), 4000.0);

    // A run of seconds can be looked into as well; ten seconds of it at the most.
    view.Update(30, 800);
    view.ZoomAt(400, 0.5);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kFixed);
    EXPECT_EQ(view.GetSpan(), 15.0);
    EXPECT_EQ(view.GetFrom(), 7.5);
    view.Update(5, 800);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kWholeRun);
    EXPECT_EQ(view.GetSpan(), 10.0);
}

TEST(TimelineViewport, EndFollowsTheLiveEdgeAndPanningLeavesAndRejoinsIt) {
    CTimelineViewport view;
    view.Update(3600, 1000);
    view.ZoomAt(1000, 1000.0 / 3600); // a second per pixel
    view.End();
    EXPECT_EQ(view.GetTo(), 3600.0);
    view.Update(3700, 1000);
    EXPECT_EQ(view.GetTo(), 3700.0);
    EXPECT_EQ(view.GetSpan(), 1000.0);
    view.Pan(-100); // a tenth of the view into the past
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kFixed);
    EXPECT_EQ(view.GetTo(), 3600.0);
    view.Update(3800, 1000);
    EXPECT_EQ(view.GetTo(), 3600.0);
    view.Pan(10000);
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kFollow);
    EXPECT_EQ(view.GetTo(), 3800.0);
    view.Pan(-100000);
    EXPECT_EQ(view.GetFrom(), 0.0);
    view.Home();
    EXPECT_EQ(view.GetSpan(), 3800.0);
    view.Pan(-100); // the whole run has nowhere to go
    EXPECT_EQ(view.GetMode(), CTimelineViewport::kWholeRun);
}

TEST(TimelineViewport, AxisTicksFallOnWholeWallClockSteps) {
    CTimelineViewport view;
    view.Update(100, 1000); // 0.1 s per pixel
    NArray<STimelineTick> ticks;
    const CNTimeStamp start(2026, 1, 2, 12, 0, 7, 250);
    ASSERT_TRUE(TimelineAxisTicks(view, start, 80, ticks));
    ASSERT_EQ(ticks.GetSize(), 10);
    EXPECT_EQ(ticks[0].text, L"12:00:10");
    EXPECT_EQ(ticks[0].x, 28); // 2.75 s in
    EXPECT_EQ(ticks[9].text, L"12:01:40");
    view.Update(86400, 1000); // a day: labels every two hours
    ASSERT_TRUE(TimelineAxisTicks(view, start, 80, ticks));
    EXPECT_EQ(ticks[0].text, L"14:00:00");
    EXPECT_EQ(ticks[1].text, L"16:00:00");
}

TEST(TimelineRaster, CellsShowAverageAndLossAndTheBandShowsTheSelectedRow) {
    STimelineView view;
    ASSERT_TRUE(view.Size(2, 4));
    STimelineBucket answered;
    answered.sent = 2;
    answered.AddAnswer(0.004);
    answered.AddAnswer(0.006);
    STimelineBucket lost;
    lost.sent = lost.lost = 1;
    STimelineBucket half = answered;
    half.lost = 2;
    view.cells[0] = answered;
    view.cells[1] = lost;
    view.cells[3] = half;
    const STimelineLayout layout = TimelineLayout(600, 400, 2);
    EXPECT_EQ(layout.laneHeight, 18);
    EXPECT_EQ(layout.LaneAt(layout.plotLeft, layout.heatTop + 20), 1);
    EXPECT_EQ(layout.LaneAt(layout.plotLeft, layout.heatBottom), -1);
    EXPECT_EQ(layout.SlotAt(layout.plotLeft + 3), 3);
    EXPECT_GT(layout.bandBottom, layout.lossTop);
    EXPECT_LT(layout.bandBottom, layout.statusTop);

    std::vector<DWORD> pixels(600 * 400);
    STimelineCanvas canvas{pixels.data(), 600, 400};
    const double bandMax = TimelineBandMax(view, 0);
    EXPECT_NEAR(bandMax, 0.0066, 1e-6);
    DrawTimeline(canvas, layout, view, 0.010, 0, bandMax);
    const int x = layout.plotLeft, top = layout.heatTop, bottom = top + layout.laneHeight - 2;
    EXPECT_EQ(canvas.At(x, top), TimeColor(0.005, 0.010));
    EXPECT_EQ(canvas.At(x + 1, top), kTimelineLossMark);
    EXPECT_EQ(canvas.At(x + 2, top), kTimelineNoData);
    EXPECT_EQ(canvas.At(x + 3, top), TimeColor(0.005, 0.010));
    EXPECT_EQ(canvas.At(x + 3, bottom), kTimelineLossMark);
    EXPECT_EQ(canvas.At(x + 4, top), kTimelineBackground);
    EXPECT_EQ(canvas.At(2, top), kTimelineSelected);
    // The band: the answered slot's average, the lost slot's full bar.
    EXPECT_EQ(canvas.At(x, layout.lossTop - 1 -
                               static_cast<int>(
                                   0.005 / bandMax * (layout.lossTop - layout.bandTop - 1) + 0.5)),
              kTimelineAverage);
    EXPECT_EQ(canvas.At(x + 1, layout.lossTop + 2), kTimelineLossBar);
    EXPECT_EQ(canvas.At(x, layout.bandBottom - 1), kTimelineNoData);
}
