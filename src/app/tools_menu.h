// The "Tools" menu: "Verify with exchanges..." downloads the exchanges' data into a copy and
// reports where it differs from the setting data in the tool (the document is not changed);
// "Link trace..." writes every byte on the line to a file while it is checked, for bug reports.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "setting/setting_compare.h"

namespace qn410 {

class CMainFrame;
class CSheetComm;
class FileChooser;

// prepare, when given, sees the download sheet before it runs (tests drive it).
void InstallToolsMenu(CMainFrame& frame, FileChooser& files,
                      std::function<void(CSheetComm&)> prepare = nullptr);

// The report's text: a heading naming fileName, the differing fields, the fields not compared.
QString VerifyReportText(const std::vector<FieldDifference>& differences, const QString& fileName);

}  // namespace qn410
