// The report's images from the pixel table generated at build time from the readable sources.
#pragma once

#include "report/report_input.h"

// The program icon (32 x 32 with its mask) and the row image strip (eight 16 x 16 images, no
// mask), from the same sources as the program's resources. For front-ends without the resources
// loaded (the console, native builds). The views point at static data.
SHopwatchReportImage BuiltInProgramIconPixels();
SHopwatchReportImage BuiltInRowImagePixels();
