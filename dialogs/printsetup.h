#pragma once
// The system's Print Setup dialog: a printer with its paper and orientation, chosen without
// page ranges or a selection.

#include "print/printerservice.h"

class QPrinter;
class QWidget;

namespace vl {

// The mode of the printer as the dialog left it: the listed printer of its name (the PDF
// printer for output to a file), the paper of its size, the orientation.
DeviceMode ModeOfPrinter(const QPrinter& printer, const IPrinterService& printers);

// Runs the dialog on the system's default printer; true with `mode` on OK.
bool RunPrintSetup(QWidget* parent, const IPrinterService& printers, DeviceMode& mode);

} // namespace vl
