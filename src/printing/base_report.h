#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "printing/report_device.h"

namespace hk::printing {

class TMemoBuf;

// Misuse of the surface: drawing outside a document, starting one twice.
class EInkwell : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Thrown by the next drawing operation after the user cancelled; the document
// run catches it, so the body writer just stops.
struct EPrintAborted {};

enum TPrintUnits { unInch, unMM, unCM, unPoint, unUser };
enum TLineHeightMethod { lhmLinesPerInch, lhmFont, lhmUser };
enum TOrientation { poPortrait, poLandScape, poDefault };
enum TBKMode { bkTransparent, bkOpaque };
enum TPrintJustify { pjCenter, pjLeft, pjRight, pjBlock };

// The attributes of the surface's current font; the colour is not part of a
// device font, everything else is.
struct TFontAttributes {
    std::string face = "Arial";
    double size = 10.0;  // points
    TFontPitch pitch = fpDefault;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int rotation = 0;  // degrees
    bool superscript = false;
    bool subscript = false;
    int charset = 1;
    std::uint32_t colour = 0;
    bool operator==(const TFontAttributes&) const = default;
};

// One text as the surface hands it to its output: where and how it goes, in
// inches from the paper's top left corner.
struct TextRun {
    TPrintJustify kind = pjLeft;  // pjBlock spreads over width
    double x = 0;
    double baseline = 0;
    double width = 0;
    std::string text;
};

// The report surface: pen, units, margins and sections, line spacing by font,
// aligned and spread text, tab-aware measuring and the document run. Lengths
// in and out are user units (inches × UnitsFactor); internally inches.
class TBaseReport {
  public:
    using Event = std::function<void(TBaseReport&)>;

    explicit TBaseReport(ReportDevice& device);
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // Units.
    TPrintUnits Units() const { return units_; }
    void SetUnits(TPrintUnits units);
    double UnitsFactor() const { return unitsFactor_; }
    void SetUnitsFactor(double factor);

    // Paper and margins.
    double PageWidth() const { return U(pageWidth_); }
    double PageHeight() const { return U(pageHeight_); }
    double MarginLeft() const { return marginLeft_; }
    double MarginRight() const { return marginRight_; }
    double MarginTop() const { return marginTop_; }
    double MarginBottom() const { return marginBottom_; }
    void SetMarginLeft(double value);
    void SetMarginRight(double value);
    void SetMarginTop(double value);
    void SetMarginBottom(double value);
    double SectionLeft() const { return U(sectionLeft_); }
    double SectionRight() const { return U(sectionRight_); }
    double SectionTop() const { return U(sectionTop_); }
    double SectionBottom() const { return U(sectionBottom_); }

    // Pen and lines.
    double CursorX() const { return U(cursorX_); }
    void SetCursorX(double value) { cursorX_ = I(value); }
    double Baseline() const { return U(baseline_); }
    void SetBaseline(double value) { baseline_ = I(value); }
    int LineNumber() const { return lineNumber_; }
    int ColumnNumber() const { return columnNumber_; }
    int ColumnCount() const { return columnCount_; }
    double ColumnWidth() const { return U(columnWidth_); }
    double LineHeight() const { return U(lineHeight_); }
    void SetLineHeight(double value);  // switches to lhmUser
    double FontAscent() const { return U(ascent_); }
    double FontDescent() const { return U(descent_); }
    TLineHeightMethod LineHeightMethod() const { return lineHeightMethod_; }
    void SetLineHeightMethod(TLineHeightMethod method);
    double LinesPerInch() const { return linesPerInch_; }
    void SetLinesPerInch(double value);
    double TabSpacing() const { return tabSpacing_; }
    int TabStopCount() const { return 0; }  // caller-defined tab stops are not supported

    void ResetToFirstLine();
    void LineFeed();
    void NextLine();
    void RealignLine();
    void UseSingleColumn();
    int LinesRemaining() const;

    // Fonts.
    const TFontAttributes& Font() const { return font_; }
    void SelectFont(const std::string& face, double size);
    void SetFontPitch(TFontPitch pitch);
    void SetFontBold(bool bold);
    void SetFont(const TFontAttributes& attributes);  // all at once, as a replay needs

    // Text. Positions and widths in user units.
    virtual void PrintCentred(const std::string& text, double x);
    virtual void PrintLeft(const std::string& text, double x);
    virtual void PrintRight(const std::string& text, double x);
    virtual void PrintJustified(const std::string& text, double x, double width);
    void PrintAligned(const std::string& text, TPrintJustify justification, double width, double x);
    void PrintLeftWithTabs(const std::string& text, double x);
    // Prints the buffer's next lines here (count 0: all that remain).
    double PrintMemoLines(TMemoBuf& buffer, int count, bool tabPrefix);
    // Width of the text in device pixels; tabs move to multiples of TabSpacing.
    double TextWidthPixels(std::string_view text);
    double TextWidth(const std::string& text);  // user units, no tab handling

    // Device pixel of a horizontal/vertical position given in user units.
    int XU2D(double x) const { return XI2D(I(x)); }
    int YU2D(double y) const { return YI2D(I(y)); }

    // Document.
    void Execute();  // start, body (OnPrint or OnPrintPage loop), end
    void StartDocument();
    void EndDocument();
    void AdvancePage();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    void Abort() {
        aborted_ = true;
        pageOutput_ = false;
    }
    int PageNumber() const { return pageNumber_; }

    double ScaleX() const { return scaleX_; }
    void SetScaleX(double v) { scaleX_ = v; }
    double ScaleY() const { return scaleY_; }
    void SetScaleY(double v) { scaleY_ = v; }
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom) { zoom_ = zoom; }

    int Copies = 1;
    int CurrentCopy = 1;
    int FirstPage = 1;
    int LastPage = 9999;
    TOrientation Orientation = poPortrait;
    TBKMode TextBKMode = bkTransparent;
    int TabShade = 0;
    std::string Title;
    std::string StatusFormat = "Printing page %p";
    std::string StatusText;  // lines separated by CR LF, for %0 … %9
    std::function<void(const std::string&)> StatusLabel;
    std::function<void()> ProcessMessages;  // lets the Cancel button work meanwhile

    std::string StatusString() const;  // StatusFormat with its tokens expanded

    Event OnPrint;
    std::function<bool(TBaseReport&)> OnPrintPage;
    Event OnBeforePrint, OnAfterPrint, OnNewPage, OnNewColumn, OnPrintHeader, OnPrintFooter,
        OnEndOfSection;

    // Page-start and page-end hooks; the returned id removes them again.
    int AddPageStartHook(std::function<void()> hook);
    int AddPageEndHook(std::function<void()> hook);
    void RemoveHook(int id);

    ReportDevice& Device() { return device_; }

    // How many device fonts the surface holds now (they are freed at document end).
    std::size_t DeviceFontCount() const { return fonts_.size(); }

  protected:
    // Where a text goes once the surface has placed it; the canvas surfaces
    // draw it, the recording surface stores it.
    virtual void OutputText(const TextRun& run);
    void DrawRun(const TextRun& run);
    void CheckPrinting() const;
    void UpdateFont();  // device font and line height, when the font changed
    bool PageOutput() const { return pageOutput_; }

    int XI2D(double inches) const;
    int YI2D(double inches) const;
    double XD2I(double pixels) const;  // pixel distance to inches
    double U(double inches) const { return inches * unitsFactor_; }
    double I(double user) const { return user / unitsFactor_; }
    double TabSpacingInches() const { return tabSpacing_ / unitsFactor_; }

    virtual void BeginPageOutput();
    virtual void EndPageOutput();

  private:
    struct CachedFont {
        DeviceFontRequest request;
        int handle;
        DeviceFontMetrics metrics;
    };
    void FontChanged();
    void ComputeLineHeight();
    double ColumnLeft() const { return sectionLeft_ + (columnNumber_ - 1) * columnWidth_; }
    void DecidePageOutput();
    void RunHooks(const std::vector<std::pair<int, std::function<void()>>>& hooks);
    void FreeFonts();
    void StartPageCommon();

    ReportDevice& device_;
    TPrintUnits units_ = unInch;
    double unitsFactor_ = 1.0;
    double pageWidth_, pageHeight_;                                               // inches
    double marginLeft_ = 0, marginRight_ = 0, marginTop_ = 0, marginBottom_ = 0;  // user
    double sectionLeft_ = 0, sectionRight_ = 0, sectionTop_ = 0, sectionBottom_ = 0;
    double cursorX_ = 0, baseline_ = 0;
    int lineNumber_ = 1, columnNumber_ = 1, columnCount_ = 1;
    double columnWidth_ = 0;
    double lineHeight_ = 0, ascent_ = 0, descent_ = 0;
    double originX_ = 0, originY_ = 0;
    TLineHeightMethod lineHeightMethod_ = lhmLinesPerInch;
    double linesPerInch_ = 6;
    double tabSpacing_ = 0.5;
    double scaleX_ = 100, scaleY_ = 100, zoom_ = 100;

    bool printing_ = false, aborted_ = false, pageOutput_ = true, pageOpen_ = false;
    int pageNumber_ = 0;

    TFontAttributes font_, applied_;
    bool fontChanged_ = true;
    std::vector<CachedFont> fonts_;  // most recently used first

    int nextHookId_ = 1;
    std::vector<std::pair<int, std::function<void()>>> startHooks_, endHooks_;
};

}  // namespace hk::printing
