#pragma once

#include <string>
#include <vector>

#include "printing/base_report.h"

namespace hk::printing {

// One recorded text: the font it was printed in and where it went, in inches
// from the paper's top left corner.
struct RecordedText {
    TFontAttributes font;
    TextRun run;
};

struct RecordedPage {
    std::vector<RecordedText> texts;
};

// The pages of one run as the recording surface wrote them; the preview and
// the printer replay them at their own resolution.
struct PageStream {
    double pageWidth = 0;  // inches
    double pageHeight = 0;
    std::vector<RecordedPage> pages;
};

}  // namespace hk::printing
