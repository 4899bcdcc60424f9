#include "link/diagnostics.h"

// Info and debug are off unless QT_LOGGING_RULES turns them on; the program writes nothing to
// the terminal in normal use.
Q_LOGGING_CATEGORY(lcLink, "qn410.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFile, "qn410.file", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTransfer, "qn410.transfer", QtWarningMsg)
