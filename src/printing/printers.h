#pragma once

#include <QString>
#include <QStringList>

namespace hk::printing {

// The system's installed printers, as Qt Print Support (CUPS here) lists them.
bool PrinterListEmpty();
// One entry per printer, "name on location", without "Rendering Subsystem".
QStringList PrinterList();
QString DefaultPrinterName();

}  // namespace hk::printing
