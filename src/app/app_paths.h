// Where the program keeps its files: the base directory (the executable's folder, or its parent
// when that folder is called "bin"), the work file in it, and the single-instance lock.
#pragma once

#include <QString>

namespace qn410 {

// appDir with a last path component named "bin" (any case) removed.
QString ProgramBaseDir(const QString& appDir);

// The work file in the base directory, or in the per-user data folder when the base directory
// cannot be written or is the system's prefix (/usr, /usr/local: an installed program).
QString WorkFilePath(const QString& baseDir);

// The folder of the single-instance lock: the user's runtime folder, else the temporary folder.
QString LockDir();

}  // namespace qn410
