// Plugs the link's own dialogs into the category buttons: "PC Port" and "Remote Dialing".
#pragma once

namespace qn410 {

class CMainFrame;

void InstallLinkDialogs(CMainFrame& frame);

}  // namespace qn410
