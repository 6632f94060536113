// The report's version texts from the build's one version number.
#pragma once

#include "report/report_input.h"

// The texts the program's version information gives for the report's formats ("%p %g %V" and
// "%p</a> %g %V "), made from the same generated version header as the version resource: the
// product name, "Release" (the resource's file flags carry no debug flag) and the default
// version format "%a.%2.2b.%2.2c", e.g. "Hopwatch Release 0.01.00". No build time: the resource
// carries no file date. For front-ends that cannot read the resource (the console).
SHopwatchReportVersion BuiltInReportVersion();
