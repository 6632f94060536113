// The text form of a window placement: ten comma-separated numbers, as stored in MainWndPos.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// The platform's window placement record without its length field, in record order.
struct SWindowPlacementText {
    std::uint32_t flags;
    std::uint32_t showCmd;
    std::int32_t minX;
    std::int32_t minY;
    std::int32_t maxX;
    std::int32_t maxY;
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" of the ten fields, e.g. "0,1,-1,-1,-1,-1,10,20,610,420".
CString FormatWindowPlacement(const SWindowPlacementText& placement);

// Parses exactly what FormatWindowPlacement writes: ten decimal numbers separated by single
// commas, the first two unsigned, the others with an optional '-', each within its 32-bit
// range, nothing before, between or after them. FALSE (placement untouched) for anything else,
// so that a damaged or foreign value leaves the window where the dialog template put it.
BOOL ParseWindowPlacement(LPCWSTR text, SWindowPlacementText& placement);

// The show command to apply for a stored one: a stored "hidden" (0) would leave the program
// running without any window to bring back, so it opens normally (1) instead; every other
// command, minimized and maximized included, is kept.
std::uint32_t RestorableShowCommand(std::uint32_t showCmd);
