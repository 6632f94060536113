// What the user is told about a recording that could not be read whole, or that stopped.
#include "recording/recording_messages.h"

#include <string>

#include "foundation/system_error_text.h"

CString RecordingReadText(const SRecordingSummary& summary, const CString& path,
                          const CString& newline) {
    const CString file = L"\"" + path + L"\"";
    const CString at = std::to_wstring(summary.damageOffset);
    CString text;
    switch (summary.status) {
    case kRecordingComplete:
        break;
    case kRecordingNotRecording:
        return file + L" is not a Hopwatch recording.";
    case kRecordingNewerVersion:
        return file + L" is a recording of format version " +
               std::to_wstring(summary.majorVersion) +
               L", made by a newer Hopwatch; this one reads version " +
               std::to_wstring(kRecordingMajorVersion) + L" only.";
    case kRecordingUnreadable:
        return L"Cannot read the recording " + file + L": " + SystemErrorText(summary.error, FALSE);
    case kRecordingCutOff:
        text = file + L" ends before its run did (the program ended without closing it); "
                      L"every probe it holds is shown.";
        break;
    case kRecordingCutMidFrame:
        text = file + L" is cut off inside a frame at byte " + at;
        break;
    case kRecordingDamaged:
        text = file + L" is damaged at byte " + at;
        break;
    }
    if (summary.status == kRecordingCutMidFrame || summary.status == kRecordingDamaged)
        text += summary.IsShowable() ? CString(L"; what comes before it is shown.")
                                     : CString(L"; nothing before it can be shown.");
    if (summary.dropped > 0) {
        if (!text.empty())
            text += newline;
        text += std::to_wstring(summary.dropped) +
                L" probe outcomes never reached the recording (the recorder fell behind); the "
                L"figures miss them.";
    }
    return text;
}

CString RecordingStoppedText(DWORD error, const CString& path, const CString& newline) {
    return L"The recording of this run stopped: " + SystemErrorText(error, FALSE) + newline + path;
}

CString RecordingViewText(const CString& title, const CNTimeStamp& start, const CNTimeStamp& stop) {
    const CString format = L"%Y-%m-%d %H:%M:%S";
    if (!stop.IsSet())
        return title + L"  (recorded from " + start.Format(format) + L")";
    return title + L"  (recorded " + start.Format(format) + L" to " + stop.Format(format) + L")";
}
