// CHopwatchPingsValues: the values the Pings options page edits, and what each edit does to them.
#include "settings/CHopwatchPingsValues.h"

#include "settings/options_rules.h"
#include "settings/settings_globals.h"

CHopwatchPingsValues::CHopwatchPingsValues()
    : m_dwInterval(g_dwPingIntervalMS), m_dwTimeout(g_dwPingTimeoutMS),
      m_bReverseDns(g_bReverseDNS), m_dwMaxTtl(g_dwMaxTTL) {}

CHopwatchPingsValues::EResult CHopwatchPingsValues::TakeText(EField field, LPCWSTR text) {
    DWORD parsed = 0;
    BOOL valid = field == kMaxTtl ? ParseMaxTtl(text, &parsed) : ParsePositiveMs(text, &parsed);
    if (!valid)
        return kRefused;
    DWORD& held = field == kInterval ? m_dwInterval : field == kTimeout ? m_dwTimeout : m_dwMaxTtl;
    if (parsed == held)
        return kSame;
    held = parsed;
    return kChanged;
}

BOOL CHopwatchPingsValues::TakeReverseDns(BOOL checked) {
    BOOL value = checked ? TRUE : FALSE;
    if (value == m_bReverseDns)
        return FALSE;
    m_bReverseDns = value;
    return TRUE;
}

void CHopwatchPingsValues::Apply() const {
    g_dwPingIntervalMS = m_dwInterval;
    g_dwPingTimeoutMS = m_dwTimeout;
    g_bReverseDNS = m_bReverseDns;
    g_dwMaxTTL = m_dwMaxTtl;
}

DWORD CHopwatchPingsValues::GetValue(EField field) const {
    return field == kInterval ? m_dwInterval : field == kTimeout ? m_dwTimeout : m_dwMaxTtl;
}
