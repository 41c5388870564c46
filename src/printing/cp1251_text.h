#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace hk::printing {

// Windows-1251 bytes to Unicode and back, where printing meets Qt.
QString FromCp1251(std::string_view bytes);
std::string ToCp1251(const QString& text);

}  // namespace hk::printing
