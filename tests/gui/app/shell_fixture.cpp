#include "shell_fixture.h"

#include <QDir>
#include <QSettings>

namespace qn410::test {

ShellFolder::ShellFolder() : previous_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
    QDir().mkpath(dir_.filePath(QStringLiteral("settings")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       dir_.filePath(QStringLiteral("settings")));
}

ShellFolder::~ShellFolder() {
    QDir::setCurrent(previous_);
}

}  // namespace qn410::test
