#include "toolkit/colors.h"

namespace hk::toolkit {

QColor toQColor(TColor color, const QPalette& palette) {
    if (!isSystemColor(color)) {
        return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                      static_cast<int>((color >> 16) & 0xFF));
    }
    switch (color) {
        case clWindow:
            return palette.color(QPalette::Base);
        case clWindowText:
            return palette.color(QPalette::WindowText);
        case clHighlight:
            return palette.color(QPalette::Highlight);
        case clHighlightText:
            return palette.color(QPalette::HighlightedText);
        case clBtnFace:
            return palette.color(QPalette::Button);
        case clBtnShadow:
            return palette.color(QPalette::Dark);
        case clGrayText:
            return palette.color(QPalette::Disabled, QPalette::WindowText);
        case clBtnText:
            return palette.color(QPalette::ButtonText);
        case clBtnHighlight:
            return palette.color(QPalette::Light);
        case clInfoText:
            return palette.color(QPalette::ToolTipText);
        case clInfoBk:
            return palette.color(QPalette::ToolTipBase);
        case clScrollBar:
            return palette.color(QPalette::Mid);
        default:
            return palette.color(QPalette::Window);
    }
}

TColor fromQColor(const QColor& color) {
    return rgbColor(color.red(), color.green(), color.blue());
}

}  // namespace hk::toolkit
