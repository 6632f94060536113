// CHopwatchPingsValues: the values the Pings options page edits, and what each edit does to them.
#pragma once

#include "foundation/base_types.h"

// A copy of the four ping settings, changed field by field as the user edits them and written
// back into the settings globals only by Apply. A field whose text is not accepted keeps its
// last accepted value. Portable, so the page's rules are tested without a window; the page
// itself only moves texts and colours. User-interface thread only.
class CHopwatchPingsValues {
public:
    enum EField { kInterval, kTimeout, kMaxTtl };
    enum EResult {
        kRefused, // the text is not a valid value for the field
        kSame,    // valid and equal to the value held
        kChanged, // valid and taken: the page is modified
    };

    // Copies PingIntervalMS, PingTimeoutMS, ReverseDNS and MaxTTL.
    CHopwatchPingsValues();

    // Validates the field's text (interval and time-out above 0, maximum TTL 1 to 256) and
    // takes an accepted value that differs from the one held.
    EResult TakeText(EField field, LPCWSTR text);
    // The check box state; TRUE when it changed the value held.
    BOOL TakeReverseDns(BOOL checked);
    // Writes the four values into the settings globals.
    void Apply() const;

    DWORD GetValue(EField field) const;
    BOOL GetReverseDns() const { return m_bReverseDns; }

private:
    DWORD m_dwInterval;
    DWORD m_dwTimeout;
    BOOL m_bReverseDns;
    DWORD m_dwMaxTtl;
};
