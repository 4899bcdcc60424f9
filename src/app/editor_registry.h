// Plugs the setting editors into the category buttons of the main window, and the station
// number check that runs after "Global Setting" and "Upload/Download" close.
#pragma once

namespace qn410 {

class CMainFrame;

// The editors open modally over frame and work through its editor host.
void RegisterEditors(CMainFrame& frame);

}  // namespace qn410
