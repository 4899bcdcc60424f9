// The event loop the link runs in: qn410ctl has none of its own, so a command that talks to
// the exchanges makes one (and keeps it while the answer lives).
#pragma once

#include <QCoreApplication>
#include <memory>

namespace qn410::ctl {

inline std::unique_ptr<QCoreApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "qn410ctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace qn410::ctl
