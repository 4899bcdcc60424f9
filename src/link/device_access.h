// Why a serial device could not be opened, when the reason is something the installer can fix:
// the device's permissions. The channel notes each open; the message box "Failed to open the
// device" then adds the reason as a line of its own (see ui/open_problem_prompt.h).
#pragma once

#include <string>

namespace qn410 {

// "<device>: permission denied: ..." naming the group that owns the device when this user is
// not in it; empty when the device opens as far as its permissions go, or does not exist.
std::string PermissionProblem(const std::string& device);

// The channel's last open: a failure records PermissionProblem(device), a success clears it.
// Any thread.
void NoteOpenResult(const std::string& device, bool opened);
std::string LastOpenProblem();

}  // namespace qn410
