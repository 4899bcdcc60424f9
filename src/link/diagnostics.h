// Where the reasons behind a failure go. The message boxes keep their fixed texts ("Failed to
// open the device"); the cause (the operating system's error for a file or a port, the serial
// port's error text, a modem's answer) is written to these logging categories, silent unless
// enabled, for example:
//     QT_LOGGING_RULES="qn410.*=true" qn410
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLink)      // qn410.link: ports, the channel, the broker
Q_DECLARE_LOGGING_CATEGORY(lcFile)      // qn410.file: setting, work, log and report files
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)  // qn410.transfer: how a transfer ended and why
