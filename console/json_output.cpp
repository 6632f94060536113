// The JSON form of a run: what was probed, how and when, and every row in the list's order.
#include "console/json_output.h"

#include "console/console_options.h"
#include "engine/CHopwatchHist4Show.h"
#include "engine/inet_address.h"
#include "foundation/numbers.h"
#include "results/row_rules.h"

namespace {

const wchar_t kNull[] = L"null";

CString Unsigned(DWORD value) {
    return FormatUnsigned(value, 10);
}

// A text that may be missing: empty (and the look-up marker, which names nothing) is null.
CString OptionalText(const CString& text) {
    return text.empty() || text == kHopwatchLookingUp ? CString(kNull) : JsonString(text);
}

CString Time(const SHopwatchHost& host, EHopwatchRowTime which) {
    double seconds = 0.0;
    return HopwatchRowTime(host, which, seconds) ? FormatDouble(seconds * 1000.0) : kNull;
}

// Exact, unlike the list's truncated percentage; defined when the list shows one.
CString LossPercent(const SHopwatchHost& host) {
    DWORD truncated = 0;
    if (!HopwatchLossPercent(host, truncated))
        return kNull;
    return FormatDouble(host.lost * 100.0 / (static_cast<double>(host.received) + host.lost));
}

const wchar_t* Kind(const SHopwatchHost& host) {
    if (host.image == kImageAlternative)
        return L"\"alternative\"";
    if (host.image == kImageSplit)
        return L"\"split\"";
    return host.ttl == 0 ? L"\"local\"" : L"\"hop\"";
}

CString History(const CHopwatchHist4Show& display) {
    CString text = L"[";
    for (int i = 0; i < display.values.GetSize(); ++i) {
        const double v = display.values[i];
        if (i > 0)
            text += L", ";
        if (v > 0.0)
            text += FormatDouble(v * 1000.0);
        else
            text += v == kHistShowAwaiting ? L"\"awaiting\"" : kNull;
    }
    return text + L"]";
}

CString Row(const CHopwatchRowSource& rows, int r, const SHopwatchHost& host, DWORD hopTtl,
            int historyValues, CHopwatchHist4Show& display) {
    const CString address =
        HopwatchRowHasAddress(host) ? JsonString(FormatDottedAddress(host.address)) : kNull;
    CString out = L"    {\"row\": " + Unsigned(static_cast<DWORD>(r)) + L", \"kind\": " +
                  Kind(host) + L", \"ttl\": " + Unsigned(hopTtl) + L", \"target\": " +
                  (host.image == kImageTarget ? L"true" : L"false") + L", \"address\": " + address +
                  L", \"name\": " + OptionalText(host.name) + L", \"note\": " +
                  OptionalText(host.note) + L", \"sent\": " + Unsigned(host.sent) +
                  L", \"received\": " + Unsigned(host.received) + L", \"lost\": " +
                  Unsigned(host.lost) + L", \"loss_percent\": " + LossPercent(host) +
                  L", \"last_ms\": " + Time(host, kRowTimeLast) + L", \"min_ms\": " +
                  Time(host, kRowTimeMin) + L", \"avg_ms\": " + Time(host, kRowTimeAvg) +
                  L", \"max_ms\": " + Time(host, kRowTimeMax) + L", \"stddev_ms\": " +
                  Time(host, kRowTimeStdDev) + L", \"jitter_ms\": " + Time(host, kRowTimeJitter);
    if (historyValues > 0) {
        display.version = 0; // force a fresh window for every row
        rows.GetRowHistory(r, display);
        out += L", \"history\": " + History(display);
    }
    return out + L"}";
}

} // namespace

CString JsonString(const CString& text) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    CString out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"':
            out += L"\\\"";
            break;
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            if (static_cast<unsigned long>(c) < 0x20) {
                out += L"\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out + L"\"";
}

CString JsonUtcTime(const CNTimeStamp& utc) {
    if (!utc.IsSet())
        return kNull;
    return L"\"" + utc.Format(L"%Y-%m-%dT%H:%M:%S.%NZ") + L"\"";
}

CString FormatRunJson(const SConsoleRunFacts& facts, const CHopwatchRowSource& rows) {
    CString targetName;
    CString body;
    CHopwatchHist4Show display;
    display.wanted = facts.historyValues;
    DWORD hopTtl = 0;
    const int count = static_cast<int>(rows.GetVisibleRows());
    for (int r = 0; r < count; ++r) {
        SHopwatchHost host;
        if (!rows.GetRow(r, host, 0, TRUE))
            break; // the run was reset under us; what was printed is consistent
        if (host.image != kImageAlternative)
            hopTtl = host.ttl; // an alternative answers for the hop above it
        if (host.image == kImageTarget && targetName.empty() && host.name != kHopwatchLookingUp)
            targetName = host.name;
        body += (r > 0 ? L",\n" : L"\n") + Row(rows, r, host, hopTtl, facts.historyValues, display);
    }
    const CString address =
        facts.targetAddress != kHopwatchNone
            ? JsonString(FormatDottedAddress(HopwatchSwapOrder(facts.targetAddress)))
            : kNull;
    return L"{\n"
           L"  \"program\": \"hopwatch-console\",\n"
           L"  \"version\": " +
           JsonString(ConsoleVersionText()) +
           L",\n"
           L"  \"target\": {\"text\": " +
           JsonString(facts.targetText) + L", \"address\": " + address + L", \"name\": " +
           OptionalText(targetName) +
           L"},\n"
           L"  \"probe_method\": " +
           JsonString(facts.probeMethod) +
           L",\n"
           L"  \"settings\": {\"interval_ms\": " +
           Unsigned(facts.intervalMs) + L", \"timeout_ms\": " + Unsigned(facts.timeoutMs) +
           L", \"max_ttl\": " + Unsigned(facts.maxTtl) + L", \"reverse_dns\": " +
           (facts.reverseDns ? L"true" : L"false") + L", \"count\": " +
           (facts.count != 0 ? Unsigned(facts.count) : CString(kNull)) + L", \"time_s\": " +
           (facts.runSeconds > 0 ? FormatDouble(facts.runSeconds) : CString(kNull)) +
           L", \"history\": " + Unsigned(static_cast<DWORD>(facts.historyValues)) +
           L"},\n"
           L"  \"start\": " +
           JsonUtcTime(facts.startedUtc) +
           L",\n"
           L"  \"stop\": " +
           JsonUtcTime(facts.stoppedUtc) +
           L",\n"
           L"  \"rows\": [" +
           body + (count > 0 ? L"\n  ]\n" : L"]\n") + L"}\n";
}
