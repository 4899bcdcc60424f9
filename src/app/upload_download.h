// The "Upload/Download" button of the category view: it opens the Upload/Download sheet on the
// view's data and link, and afterwards the view runs the station number check, which opens the
// "Stations" editor when a station number is wrong. The same check follows the Global Setting
// editor.
#pragma once

#include <functional>

namespace qn410 {

class CMainFrame;
class CSheetComm;
struct SettingData;

// Registers the sheet and the station number check with the frame's view. prepare, when given,
// sees each sheet before it runs (tests use it to drive the sheet).
void InstallUploadDownload(CMainFrame& frame, std::function<void(CSheetComm&)> prepare = nullptr);

// True when the station number check finds a problem.
bool StationCheckFails(const SettingData& data);

}  // namespace qn410
