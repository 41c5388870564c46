#pragma once

#include <set>
#include <string>

#include "printing/base_report.h"
#include "printing/report_filer.h"

namespace hk::printing {

enum TReportDest { rdPreview, rdPrinter, rdFile };
enum TSystemSetup {
    ssAllowSetup,
    ssAllowCopies,
    ssAllowCollate,
    ssAllowDuplex,
    ssAllowDestPreview,
    ssAllowDestPrinter,
    ssAllowDestFile,
    ssAllowPrinterSetup,
    ssAllowPreviewSetup
};
enum TSystemOption {
    soUseFiler,
    soWaitForOK,
    soShowStatus,
    soAllowPrintFromPreview,
    soPreviewModal,
    soNoGenerate
};
enum TStreamMode { smMemory, smFile, smUser, smTempFile };
enum TRulerType { rtNone, rtHorizCm, rtVertCm, rtBothCm, rtHorizIn, rtVertIn, rtBothIn };
enum TMarginMethod { mmScaled, mmFixed };

// Texts here are Windows-1251 bytes, like every text the surface handles.
struct TSystemFiler {
    std::string StatusFormat = "Generating page %p";
    TStreamMode StreamMode = smMemory;
    TAccuracyMethod AccuracyMethod = amAppearance;
    std::string FileName;

    void AssignTo(TReportFiler& filer) const {
        filer.AccuracyMethod = AccuracyMethod;
        filer.StatusFormat = StatusFormat;
    }
};

struct TSystemPreview {
    bool Maximized = false;  // FormState
    TRulerType RulerType = rtNone;
    double ZoomFactor = 100;
    int FormWidth = 615;
    int FormHeight = 450;
    double ZoomInc = 10;
    TMarginMethod MarginMethod = mmFixed;
    double MarginPercent = 0;
    int ShadowDepth = 0;
    int PageInc = 1;
    bool Monochrome = false;
    double GridHoriz = 0;
    double GridVert = 0;
    int PagesWide = 1;
    int PagesHigh = 1;
};

struct TSystemPrinter {
    int Copies = 1;
    int FirstPage = 1;
    int LastPage = 9999;
    TLineHeightMethod LineHeightMethod = lhmFont;
    double LinesPerInch = 6;
    double MarginBottom = 0, MarginLeft = 0, MarginRight = 0, MarginTop = 0;
    TOrientation Orientation = poPortrait;
    double ScaleX = 100, ScaleY = 100;
    std::string StatusFormat = "Printing page %p";
    std::string StatusText;
    int TabShade = 0;
    TBKMode TextBKMode = bkTransparent;
    std::string Title = "Inkwell Report";
    TPrintUnits Units = unInch;
    double UnitsFactor = 1;

    // Margins go over before the units; the surface applies them again in the
    // final units when its document starts.
    void AssignTo(TBaseReport& r) const {
        r.Copies = Copies;
        r.FirstPage = FirstPage;
        r.LastPage = LastPage;
        r.SetLineHeightMethod(LineHeightMethod);
        r.SetLinesPerInch(LinesPerInch);
        r.SetMarginBottom(MarginBottom);
        r.SetMarginLeft(MarginLeft);
        r.SetMarginRight(MarginRight);
        r.SetMarginTop(MarginTop);
        r.Orientation = Orientation;
        r.SetScaleX(ScaleX);
        r.SetScaleY(ScaleY);
        r.StatusFormat = StatusFormat;
        r.StatusText = StatusText;
        r.TabShade = TabShade;
        r.TextBKMode = TextBKMode;
        r.Title = Title;
        r.SetUnits(Units);
        if (Units == unUser) r.SetUnitsFactor(UnitsFactor);
    }
};

}  // namespace hk::printing
