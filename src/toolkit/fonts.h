#pragma once
// The layouts name Windows faces. On Debian the metric-compatible Liberation faces
// stand in for them; sizes stay in pixels (character height without internal leading),
// so text occupies the same room as on the original screens.

#include <QFont>
#include <string>

namespace hk::toolkit {

// "MS Sans Serif" and "Arial" become Liberation Sans, "Courier New" becomes Liberation
// Mono (case-insensitive); any other face is asked for as named.
QString substituteFace(const std::string& faceName);

QFont makeFont(const std::string& faceName, int heightPixels, bool bold = false,
               bool italic = false, bool underline = false);

}  // namespace hk::toolkit
