#include "printing/base_report.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "printing/memo_buf.h"

namespace hk::printing {

namespace {

constexpr const char* kNotPrinting = "Invalid method call.  Inkwell is not printing.";
constexpr const char* kAlreadyPrinting = "Invalid method call.  Inkwell already printing.";

// Distances computed from sums of floating-point lengths land a hair off whole
// multiples; this keeps a line that fits exactly from being counted out.
constexpr double kFitSlack = 1e-9;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

double FactorOf(TPrintUnits units) {
    switch (units) {
        case unInch:
            return 1.0;
        case unMM:
            return 25.4;
        case unCM:
            return 2.54;
        case unPoint:
            return 72.0;
        case unUser:
            break;
    }
    return 0;
}

}  // namespace

TBaseReport::TBaseReport(ReportDevice& device) : device_(device) {
    pageWidth_ = (device.PrintableWidth() + device.OffsetLeft() + device.OffsetRight()) /
                 device.ResolutionX();
    pageHeight_ = (device.PrintableHeight() + device.OffsetTop() + device.OffsetBottom()) /
                  device.ResolutionY();
    SetMarginLeft(0);
    SetMarginRight(0);
    SetMarginTop(0);
    SetMarginBottom(0);
    columnWidth_ = sectionRight_ - sectionLeft_;
}

TBaseReport::~TBaseReport() {
    FreeFonts();
}

void TBaseReport::SetUnits(TPrintUnits units) {
    units_ = units;
    if (units != unUser) unitsFactor_ = FactorOf(units);
}

void TBaseReport::SetUnitsFactor(double factor) {
    if (factor <= 0) return;
    unitsFactor_ = factor;
    units_ = unUser;
    for (TPrintUnits u : {unInch, unMM, unCM, unPoint})
        if (FactorOf(u) == factor) units_ = u;
}

void TBaseReport::SetMarginLeft(double value) {
    marginLeft_ = value;
    sectionLeft_ = I(value);
    cursorX_ = std::max(cursorX_, sectionLeft_);
}

void TBaseReport::SetMarginRight(double value) {
    marginRight_ = value;
    sectionRight_ = pageWidth_ - I(value);
    cursorX_ = std::min(cursorX_, sectionRight_);
}

void TBaseReport::SetMarginTop(double value) {
    marginTop_ = value;
    sectionTop_ = I(value);
}

void TBaseReport::SetMarginBottom(double value) {
    marginBottom_ = value;
    sectionBottom_ = pageHeight_ - I(value);
}

void TBaseReport::SetLineHeight(double value) {
    lineHeightMethod_ = lhmUser;
    lineHeight_ = I(value);
}

void TBaseReport::SetLineHeightMethod(TLineHeightMethod method) {
    lineHeightMethod_ = method;
    fontChanged_ = true;
}

void TBaseReport::SetLinesPerInch(double value) {
    if (value <= 0) return;
    linesPerInch_ = value;
    fontChanged_ = true;
}

// ---- pixels ---------------------------------------------------------------

int TBaseReport::XI2D(double inches) const {
    const double scaled = (inches + originX_) * scaleX_ * zoom_ / 10000.0;
    const double offset = device_.OffsetLeft() / device_.ResolutionX();
    return static_cast<int>(std::lround((scaled - offset) * device_.ResolutionX())) +
           device_.OriginColumn();
}

int TBaseReport::YI2D(double inches) const {
    const double scaled = (inches + originY_) * scaleY_ * zoom_ / 10000.0;
    const double offset = device_.OffsetTop() / device_.ResolutionY();
    return static_cast<int>(std::lround((scaled - offset) * device_.ResolutionY())) +
           device_.OriginRow();
}

double TBaseReport::XD2I(double pixels) const {
    return pixels / (device_.ResolutionX() * scaleX_ * zoom_ / 10000.0);
}

// ---- fonts and line height ------------------------------------------------

void TBaseReport::FontChanged() {
    if (!(font_ == applied_)) fontChanged_ = true;
}

void TBaseReport::SelectFont(const std::string& face, double size) {
    if (size <= 0) return;
    TFontAttributes f;
    f.face = face;
    f.size = size;
    font_ = f;
    FontChanged();
}

void TBaseReport::SetFontPitch(TFontPitch pitch) {
    font_.pitch = pitch;
    FontChanged();
}

void TBaseReport::SetFontBold(bool bold) {
    font_.bold = bold;
    FontChanged();
}

void TBaseReport::SetFont(const TFontAttributes& attributes) {
    font_ = attributes;
    FontChanged();
}

void TBaseReport::UpdateFont() {
    if (!printing_ || !fontChanged_) return;
    DeviceFontRequest req;
    req.face = font_.face;
    const bool script = font_.superscript || font_.subscript;
    double em = font_.size * scaleY_ / 100.0 * zoom_ / 100.0 * device_.ResolutionY() / 72.0;
    if (script) em /= 1.667;
    req.emHeight = em;
    req.pitch = font_.pitch;
    req.bold = font_.bold;
    req.italic = font_.italic;
    req.underline = font_.underline;
    req.strikeout = font_.strikeout;
    req.escapement = font_.rotation * 10;
    req.charset = font_.charset;

    auto it = std::find_if(fonts_.begin(), fonts_.end(),
                           [&](const CachedFont& f) { return f.request == req; });
    if (it == fonts_.end()) {
        CachedFont created{req, 0, {}};
        created.handle = device_.CreateFont(req, created.metrics);
        fonts_.insert(fonts_.begin(), created);
    } else {
        std::rotate(fonts_.begin(), it, it + 1);
    }
    const CachedFont& current = fonts_.front();
    device_.SelectFont(current.handle);
    const double pixelsPerInch = device_.ResolutionY() * scaleY_ * zoom_ / 10000.0;
    ascent_ = current.metrics.ascent / pixelsPerInch;
    descent_ = current.metrics.descent / pixelsPerInch;
    if (script) {
        ascent_ /= 2;
        descent_ /= 2;
    }
    applied_ = font_;
    fontChanged_ = false;
    ComputeLineHeight();
}

void TBaseReport::ComputeLineHeight() {
    switch (lineHeightMethod_) {
        case lhmLinesPerInch:
            lineHeight_ = 1.0 / linesPerInch_;
            break;
        case lhmFont:
            lineHeight_ = font_.size / 60.0;
            break;
        case lhmUser:
            break;
    }
}

void TBaseReport::FreeFonts() {
    for (const CachedFont& f : fonts_) device_.DeleteFont(f.handle);
    fonts_.clear();
    fontChanged_ = true;
}

// ---- lines -----------------------------------------------------------------

void TBaseReport::ResetToFirstLine() {
    columnNumber_ = 1;
    cursorX_ = ColumnLeft();
    lineNumber_ = 1;
    UpdateFont();
    baseline_ = sectionTop_ + lineHeight_ - descent_;
}

void TBaseReport::LineFeed() {
    UpdateFont();
    ++lineNumber_;
    baseline_ += lineHeight_;
}

void TBaseReport::NextLine() {
    if (columnNumber_ < columnCount_ && LinesRemaining() <= 1) {
        ++columnNumber_;
        cursorX_ = ColumnLeft();
        lineNumber_ = 1;
        UpdateFont();
        baseline_ = sectionTop_ + lineHeight_ - descent_;
        if (OnNewColumn) OnNewColumn(*this);
    } else {
        cursorX_ = ColumnLeft();
        LineFeed();
    }
    if (baseline_ + descent_ >= sectionBottom_ - kFitSlack && OnEndOfSection) OnEndOfSection(*this);
}

void TBaseReport::RealignLine() {
    if (!printing_) return;
    const double top = baseline_ + descent_ - lineHeight_;
    UpdateFont();
    baseline_ = top + lineHeight_ - descent_;
}

void TBaseReport::UseSingleColumn() {
    columnWidth_ = sectionRight_ - sectionLeft_;
    columnCount_ = 1;
    columnNumber_ = 1;
    cursorX_ = sectionLeft_;
}

int TBaseReport::LinesRemaining() const {
    if (lineHeight_ <= 0) return 0;
    const double bottom = baseline_ + descent_;
    const bool lastColumn = columnNumber_ >= columnCount_;
    if (bottom > sectionBottom_ + kFitSlack && lastColumn) return 0;
    int lines = 1 + static_cast<int>(std::floor(
                        std::max(0.0, sectionBottom_ - bottom) / lineHeight_ + kFitSlack));
    const int perColumn =
        static_cast<int>(std::floor((sectionBottom_ - sectionTop_) / lineHeight_ + kFitSlack));
    lines += (columnCount_ - columnNumber_) * std::max(0, perColumn);
    return lines;
}

// ---- text --------------------------------------------------------------------

void TBaseReport::CheckPrinting() const {
    if (!printing_) throw EInkwell(kNotPrinting);
    if (aborted_) throw EPrintAborted{};
}

double TBaseReport::TextWidth(const std::string& text) {
    UpdateFont();
    return U(XD2I(device_.TextWidth(text)));
}

double TBaseReport::TextWidthPixels(std::string_view text) {
    UpdateFont();
    const double t = std::max(1.0, std::round(TabSpacingInches() / XD2I(1)));
    double pos = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\t') continue;
        pos += device_.TextWidth(text.substr(start, i - start));
        pos = pos == 0 ? t : std::ceil(pos / t) * t;
        start = i + 1;
    }
    return pos + device_.TextWidth(text.substr(start));
}

void TBaseReport::PrintCentred(const std::string& text, double x) {
    CheckPrinting();
    UpdateFont();
    const double w = XD2I(device_.TextWidth(text));
    const double xi = I(x);
    OutputText({pjLeft, xi - w / 2, baseline_, w, text});
    cursorX_ = xi + w / 2;
}

void TBaseReport::PrintLeft(const std::string& text, double x) {
    CheckPrinting();
    UpdateFont();
    const double w = XD2I(device_.TextWidth(text));
    OutputText({pjLeft, I(x), baseline_, w, text});
    cursorX_ = I(x) + w;
}

void TBaseReport::PrintRight(const std::string& text, double x) {
    CheckPrinting();
    UpdateFont();
    const double w = XD2I(device_.TextWidth(text));
    OutputText({pjLeft, I(x) - w, baseline_, w, text});
    cursorX_ = I(x);
}

void TBaseReport::PrintJustified(const std::string& text, double x, double width) {
    CheckPrinting();
    UpdateFont();
    OutputText({pjBlock, I(x), baseline_, I(width), text});
    cursorX_ = I(x + width);
}

void TBaseReport::PrintAligned(const std::string& text, TPrintJustify justification, double width,
                               double x) {
    switch (justification) {
        case pjCenter:
            PrintCentred(text, x + width / 2);
            break;
        case pjLeft:
            PrintLeftWithTabs(text, x);
            break;
        case pjRight:
            PrintRight(text, x + width);
            break;
        case pjBlock:
            PrintJustified(text, x, width);
            break;
    }
}

void TBaseReport::PrintLeftWithTabs(const std::string& text, double x) {
    CheckPrinting();
    const double t = TabSpacingInches();
    const double x0 = I(x);
    double pos = x0;
    std::size_t start = 0;
    for (std::size_t tab = text.find('\t'); tab != std::string::npos;
         tab = text.find('\t', start)) {
        if (tab > start) {
            PrintLeft(text.substr(start, tab - start), U(pos));
            pos = cursorX_;
        }
        const double n = std::floor((pos - x0 + 0.001) / t);
        pos = x0 + t * (n + 1);
        start = tab + 1;
    }
    PrintLeft(text.substr(start), U(pos));
}

double TBaseReport::PrintMemoLines(TMemoBuf& buffer, int count, bool tabPrefix) {
    CheckPrinting();
    buffer.BaseReport = this;
    return buffer.PrintLines(count, tabPrefix);
}

void TBaseReport::OutputText(const TextRun& run) {
    if (pageOutput_) DrawRun(run);
}

// Spreads a block-justified text: the blanks between words (or, in a text
// without blanks, the gaps between its characters) share what the line lacks,
// so the last character ends on x + width. Leading blanks are an indent: they
// move the first word by their own width and take no share, and a text whose
// only blanks are leading ones is drawn at its indent without spreading.
void TBaseReport::DrawRun(const TextRun& run) {
    const double y = YI2D(run.baseline);
    if (run.text.empty()) return;
    if (run.kind != pjBlock) {
        device_.DrawText(XI2D(run.x), y, run.text, font_.colour);
        return;
    }
    std::size_t first = 0, last = run.text.size();
    while (first < last && IsBlank(run.text[first])) ++first;
    while (last > first && IsBlank(run.text[last - 1])) --last;
    std::string body = run.text.substr(first, last - first);
    if (body.empty()) return;
    const double blankWidth = device_.TextWidth(" ");
    const double left = XI2D(run.x) + static_cast<double>(first) * blankWidth;
    int blanks = static_cast<int>(std::count_if(body.begin(), body.end(), IsBlank));
    if (blanks == 0 && first > 0) {
        device_.DrawText(std::round(left), y, body, font_.colour);
        return;
    }
    if (blanks == 0 && body.size() > 1) {
        std::string spaced;
        for (std::size_t i = 0; i < body.size(); ++i) {
            if (i) spaced += ' ';
            spaced += body[i];
        }
        body = spaced;
        blanks = static_cast<int>(body.size() / 2);
    }
    const double right = XI2D(run.x + run.width);
    const double natural = device_.TextWidth(body);
    const double share = (right - left - natural) / std::max(1, blanks);
    double pos = left;
    std::size_t i = 0;
    while (i < body.size()) {
        std::size_t j = i;
        while (j < body.size() && !IsBlank(body[j])) ++j;
        const std::string_view word(body.data() + i, j - i);
        device_.DrawText(std::round(pos), y, word, font_.colour);
        pos += device_.TextWidth(word);
        std::size_t k = j;
        while (k < body.size() && IsBlank(body[k])) ++k;
        pos += static_cast<double>(k - j) * (blankWidth + share);
        i = k;
    }
}

// ---- status text ---------------------------------------------------------------

std::string TBaseReport::StatusString() const {
    std::vector<std::string> lines;
    {
        std::string cur;
        for (std::size_t i = 0; i < StatusText.size(); ++i) {
            const char c = StatusText[i];
            if (c == '\r' || c == '\n') {
                lines.push_back(cur);
                cur.clear();
                if (c == '\r' && i + 1 < StatusText.size() && StatusText[i + 1] == '\n') ++i;
            } else {
                cur += c;
            }
        }
        if (!cur.empty()) lines.push_back(cur);
    }
    std::string out;
    const std::string& f = StatusFormat;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%' || i + 1 == f.size()) {
            out += f[i];
            continue;
        }
        const char c = f[++i];
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (c == '%') {
            out += '%';
        } else if (c >= '0' && c <= '9') {
            const std::size_t n = static_cast<std::size_t>(c - '0');
            if (n < lines.size()) out += lines[n];
        } else if (up == 'C') {
            out += std::to_string(CurrentCopy);
        } else if (up == 'S') {
            out += std::to_string(Copies);
        } else if (up == 'P') {
            out += std::to_string(pageNumber_);
        } else if (up == 'F') {
            out += std::to_string(FirstPage);
        } else if (up == 'L') {
            out += std::to_string(LastPage);
        } else if (up == 'N') {
            out += '\r';
        } else if (up == 'D') {
            out += device_.DeviceName();
        } else if (up == 'R') {
            out += device_.DriverName();
        } else if (up == 'T') {
            out += device_.PortName();
        } else {
            out += "<ERROR-%";
            out += up;
            out += '>';
        }
    }
    return out;
}

// ---- document ------------------------------------------------------------------

int TBaseReport::AddPageStartHook(std::function<void()> hook) {
    startHooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

int TBaseReport::AddPageEndHook(std::function<void()> hook) {
    endHooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void TBaseReport::RemoveHook(int id) {
    auto drop = [id](auto& v) {
        v.erase(std::remove_if(v.begin(), v.end(), [id](auto& h) { return h.first == id; }),
                v.end());
    };
    drop(startHooks_);
    drop(endHooks_);
}

void TBaseReport::RunHooks(const std::vector<std::pair<int, std::function<void()>>>& hooks) {
    // A hook may remove itself; run over a copy.
    const auto copy = hooks;
    for (const auto& h : copy) h.second();
}

void TBaseReport::DecidePageOutput() {
    pageOutput_ = !aborted_ && FirstPage <= pageNumber_ && pageNumber_ <= LastPage;
}

void TBaseReport::BeginPageOutput() {
    if (pageOutput_) {
        device_.StartPage();
        pageOpen_ = true;
    }
}

void TBaseReport::EndPageOutput() {
    if (pageOpen_) device_.EndPage();
    pageOpen_ = false;
}

void TBaseReport::StartPageCommon() {
    if (StatusLabel) StatusLabel(StatusString());
    if (ProcessMessages) ProcessMessages();
    RunHooks(startHooks_);
    if (OnNewPage) OnNewPage(*this);
    if (OnPrintHeader) OnPrintHeader(*this);
}

void TBaseReport::StartDocument() {
    if (printing_) throw EInkwell(kAlreadyPrinting);
    aborted_ = false;
    pageNumber_ = 0;
    if (OnBeforePrint) OnBeforePrint(*this);
    device_.StartDoc(Title);
    SetMarginLeft(marginLeft_);
    SetMarginRight(marginRight_);
    SetMarginTop(marginTop_);
    SetMarginBottom(marginBottom_);
    printing_ = true;
    fontChanged_ = true;
    originX_ = originY_ = 0;
    UseSingleColumn();
    ResetToFirstLine();
    pageNumber_ = 1;
    DecidePageOutput();
    BeginPageOutput();
    StartPageCommon();
}

void TBaseReport::EndDocument() {
    if (!printing_) return;
    const bool wasAborted = aborted_;
    aborted_ = false;  // the footer still may draw on a finished page
    try {
        if (OnPrintFooter) OnPrintFooter(*this);
        RunHooks(endHooks_);
    } catch (const EPrintAborted&) {
    }
    aborted_ = wasAborted;
    FreeFonts();
    if (aborted_) {
        pageOpen_ = false;
        device_.AbortDoc();
    } else {
        EndPageOutput();
        device_.EndDoc();
    }
    printing_ = false;
    if (OnAfterPrint) OnAfterPrint(*this);
}

void TBaseReport::Execute() {
    StartDocument();
    try {
        if (OnPrint || !OnPrintPage) {
            if (OnPrint) OnPrint(*this);
        } else {
            while (OnPrintPage(*this) && !aborted_) AdvancePage();
        }
    } catch (const EPrintAborted&) {
        // The user cancelled: the body writer stops here without a message.
    } catch (...) {
        EndDocument();
        throw;
    }
    EndDocument();
}

void TBaseReport::AdvancePage() {
    CheckPrinting();
    if (OnPrintFooter) OnPrintFooter(*this);
    RunHooks(endHooks_);
    EndPageOutput();
    ++pageNumber_;
    DecidePageOutput();
    originX_ = originY_ = 0;
    SetMarginBottom(marginBottom_);
    SetMarginRight(marginRight_);
    columnNumber_ = 1;
    cursorX_ = sectionLeft_;
    if (columnCount_ > 1 && OnNewColumn) OnNewColumn(*this);
    ResetToFirstLine();
    BeginPageOutput();
    StartPageCommon();
}

}  // namespace hk::printing
