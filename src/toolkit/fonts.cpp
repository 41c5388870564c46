#include "toolkit/fonts.h"

namespace hk::toolkit {

QString substituteFace(const std::string& faceName) {
    const QString face = QString::fromStdString(faceName);
    if (face.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0 ||
        face.compare(u"Arial", Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Sans");
    }
    if (face.compare(u"Courier New", Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Mono");
    }
    return face;
}

QFont makeFont(const std::string& faceName, int heightPixels, bool bold, bool italic,
               bool underline) {
    QFont font(substituteFace(faceName));
    // A pixel size is the em height, which is the character height without the
    // internal leading: what the layouts give.
    font.setPixelSize(heightPixels > 0 ? heightPixels : 1);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStyleHint(substituteFace(faceName) == QLatin1String("Liberation Mono")
                          ? QFont::TypeWriter
                          : QFont::SansSerif);
    return font;
}

}  // namespace hk::toolkit
