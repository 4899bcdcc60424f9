#include "app/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "setting/work_file.h"

namespace qn410 {

QString ProgramBaseDir(const QString& appDir) {
    QString dir = QDir::fromNativeSeparators(appDir);
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    const qsizetype slash = dir.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0 && dir.mid(slash + 1).compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0)
        dir.truncate(slash == 0 ? 1 : slash);
    return QDir::toNativeSeparators(dir);
}

QString WorkFilePath(const QString& baseDir) {
    const QFileInfo base(baseDir);
    QString dir = baseDir;
    // A program installed in the system's own prefix keeps its work file per user even when run
    // by root, who could write there: the prefix is shared by every user of the machine.
    const QString canonical = base.canonicalFilePath();
    const bool systemPrefix = canonical == QLatin1String("/usr") ||
                              canonical == QLatin1String("/usr/local");
    if (!base.isDir() || !base.isWritable() || systemPrefix) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(dir);
    }
    return QDir(dir).filePath(QString::fromLatin1(kWorkFileName));
}

QString LockDir() {
    // Without XDG_RUNTIME_DIR Qt would invent a folder (and warn); the temporary folder will do.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return QDir::tempPath();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

}  // namespace qn410
