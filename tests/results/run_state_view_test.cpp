// The main window's run-state texts, control states, failure texts and the stopping bar.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "foundation/system_error_text.h"
#include "results/run_state_view.h"

TEST(RunStateView, RunningAndStoppedControlsAsTheUserSeesThem) {
    SRunStateControls running = RunStateControls(TRUE);
    EXPECT_FALSE(running.comboShown);
    EXPECT_FALSE(running.comboEnabled);
    EXPECT_TRUE(running.progressShown);
    EXPECT_FALSE(running.optionsEnabled);
    EXPECT_STREQ(L"&Stop", running.startText);
    SRunStateControls stopped = RunStateControls(FALSE);
    EXPECT_TRUE(stopped.comboShown);
    EXPECT_TRUE(stopped.comboEnabled);
    EXPECT_FALSE(stopped.progressShown);
    EXPECT_TRUE(stopped.optionsEnabled);
    EXPECT_STREQ(L"&Start", stopped.startText);
    EXPECT_STREQ(L"Stopping...", kStoppingButtonText);
}

TEST(RunStateView, StoppingBarRisesWithTheUsedUpTimeOut) {
    // 5 s time-out: 5 s left is empty, 2.5 s half, 0 full.
    EXPECT_EQ(0, StoppingProgressPosition(5000, 5.0));
    EXPECT_EQ(kRunProgressRange / 2, StoppingProgressPosition(5000, 2.5));
    EXPECT_EQ(kRunProgressRange, StoppingProgressPosition(5000, 0.0));
    int previous = -1;
    for (double left = 5.0; left >= 0.0; left -= 0.25) {
        int position = StoppingProgressPosition(5000, left);
        EXPECT_GT(position, previous) << left;
        previous = position;
    }
    // More time left than the time-out (a clock step) counts as the whole time-out; NaN as none.
    EXPECT_EQ(0, StoppingProgressPosition(5000, 60.0));
    EXPECT_EQ(kRunProgressRange, StoppingProgressPosition(5000, std::nan("")));
}

TEST(RunStateView, AProbePastItsTimeOutNeverOverflowsThePosition) {
    // Past the time-out the position lies above the range's end...
    EXPECT_EQ(kRunProgressRange + kRunProgressRange / 5, StoppingProgressPosition(5000, -1.0));
    // ...and however far past, or with a tiny time-out, it stays the largest int, never wraps.
    EXPECT_EQ(INT_MAX, StoppingProgressPosition(5000, -1e6));
    EXPECT_EQ(INT_MAX, StoppingProgressPosition(1, -1e300));
    EXPECT_EQ(INT_MAX, StoppingProgressPosition(1, -INFINITY));
    // Nothing pending: every outstanding probe has run out.
    EXPECT_EQ(kRunProgressRange, StoppingProgressPosition(5000, -DBL_MAX));
    EXPECT_EQ(kRunProgressRange, StoppingProgressPosition(0, 1.0));
}

TEST(RunStateView, FailureTextsEndInTheSystemsText) {
    EXPECT_EQ(L"Unable to initialize raw socket for pinging.\r\n" + SystemErrorText(10013, FALSE),
              StartFailureText(10013));
    EXPECT_EQ(L"Failed to resolve host IP address (x)\r\n" + SystemErrorText(11001, FALSE),
              RunFailureText(L"Failed to resolve host IP address (x)", 11001));
}

TEST(RunStateView, OnlyANonBlankHostStartsARun) {
    EXPECT_FALSE(HostTextStartsRun(L""));
    EXPECT_FALSE(HostTextStartsRun(L" \t\r\n\v\f\b"));
    EXPECT_TRUE(HostTextStartsRun(L"  h "));
}
