// The report's images from the pixel table generated at build time from the readable sources.
#include "report/report_builtin_images.h"

#include "hopwatch_image_pixels.h"

namespace {

SHopwatchReportImage View(const SHopwatchImagePixels& pixels) {
    SHopwatchReportImage image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.bgrx = pixels.bgrx;
    image.rowBytes = pixels.width * 4;
    image.bgrxBytes = static_cast<std::size_t>(image.rowBytes) * pixels.height;
    if (pixels.mask != nullptr) {
        image.mask = pixels.mask;
        image.maskRowBytes = (pixels.width + 15) / 16 * 2;
        image.maskBytes = static_cast<std::size_t>(image.maskRowBytes) * pixels.height;
    }
    return image;
}

} // namespace

SHopwatchReportImage BuiltInProgramIconPixels() {
    return View(g_programIconPixels);
}

SHopwatchReportImage BuiltInRowImagePixels() {
    return View(g_rowImageStripPixels);
}
