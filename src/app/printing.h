// Printing in the program: the printing thread, the File menu's Print, Print Preview and
// Export PDF, the "Printout" button's dialog and every editor's Print.
#pragma once

#include <memory>

#include "print/print_service.h"

namespace qn410 {

class CMainFrame;

// The service lives as long as the returned pointer; destroying it before the frame stops the
// printing thread, waiting for a print in hand (at most 200 s).
std::unique_ptr<PrintService> InstallPrinting(CMainFrame& frame, PrintDialogs& dialogs);

}  // namespace qn410
