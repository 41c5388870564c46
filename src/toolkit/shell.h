#pragma once
// The desktop shell's "open" of a web address or document.

#include <QString>

namespace hk::toolkit {

// Hands `target` to the user's default handler (normally the web browser). An address
// without a scheme ("www.example.ru") is taken as a web address. Returns whether the
// desktop accepted it; nothing is shown on failure.
bool shellOpen(const QString& target);

}  // namespace hk::toolkit
