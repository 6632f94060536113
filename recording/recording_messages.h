// What the user is told about a recording that could not be read whole, or that stopped.
#pragma once

#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "recording/CRecordingReader.h"

// Empty for a complete recording; otherwise why it cannot be shown, or how much of it is shown
// (cut off, damaged, outcomes the recorder dropped), one line each, lines joined by newline.
CString RecordingReadText(const SRecordingSummary& summary, const CString& path,
                          const CString& newline);

// "The recording of this run stopped: " and the system's text for error, then the file.
CString RecordingStoppedText(DWORD error, const CString& path, const CString& newline);

// What the window's title bar of the run (the progress bar) shows for an opened recording: its
// title, then "(recorded START to STOP)", or "(recorded from START)" when the stop is unknown.
CString RecordingViewText(const CString& title, const CNTimeStamp& start, const CNTimeStamp& stop);
