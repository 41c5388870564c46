#include "printing/printers.h"

#include <QPrinterInfo>

namespace hk::printing {

bool PrinterListEmpty() {
    return QPrinterInfo::availablePrinterNames().isEmpty();
}

QStringList PrinterList() {
    QStringList list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        if (info.printerName() == QLatin1String("Rendering Subsystem")) continue;
        list << QStringLiteral("%1 on %2").arg(info.printerName(), info.location());
    }
    return list;
}

QString DefaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

}  // namespace hk::printing
