// Remembers what each column's last fit to its content depended on, so that fits which could only
// give the same widths again are skipped.
#pragma once

#include "foundation/base_types.h"
#include "results/list_columns.h"

// What fitting a column to its content (the list view's own auto-size) depends on besides the
// font, the row images and the header, which stay as they are until ForgetAll. The last column is
// also stretched over the room its left neighbours leave in the client area.
struct SColumnFitInputs {
    int widestText = 0;  // widest cell text of the column, in pixels
    int clientWidth = 0; // the last column only: client width, its left edge, the scroll position
    int left = 0;
    int scroll = 0;

    bool operator==(const SColumnFitInputs&) const = default;
};

// One per results list; user-interface thread only.
class CColumnFits {
public:
    // TRUE when fitting column to inputs could give a width other than width, its width now:
    // it was never fitted (or forgotten since), its inputs changed, or its width changed since
    // its fit (the user dragged the divider).
    BOOL NeedsFit(int column, const SColumnFitInputs& inputs, int width) const;
    // The column has just been fitted to inputs and is width pixels wide.
    void Fitted(int column, const SColumnFitInputs& inputs, int width);
    void Forget(int column);
    // After a change of the font, the dots per inch or the columns.
    void ForgetAll();

private:
    struct SFit {
        bool known = false;
        SColumnFitInputs inputs;
        int width = 0;
    };
    static bool IsColumn(int column) { return column >= 0 && column < kHopwatchColumnCount; }

    SFit m_fits[kHopwatchColumnCount];
};
