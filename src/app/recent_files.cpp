#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace qn410 {

namespace {
const char kOrganisation[] = "Local AppWizard-Generated Applications";
const char kApplication[] = "QN410";
const char kGroup[] = "Recent File List";

QString KeyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

QString Canonical(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}
}  // namespace

RecentFiles::RecentFiles() {
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    settings.beginGroup(QString::fromLatin1(kGroup));
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = settings.value(KeyOf(i)).toString();
        if (!path.isEmpty()) files_.append(path);
    }
}

void RecentFiles::Add(const QString& path) {
    const QString full = Canonical(path);
    files_.removeAll(full);
    files_.prepend(full);
    while (files_.size() > kMaxEntries) files_.removeLast();
    Save();
}

void RecentFiles::Remove(const QString& path) {
    files_.removeAll(Canonical(path));
    Save();
}

void RecentFiles::Save() const {
    QSettings settings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    settings.beginGroup(QString::fromLatin1(kGroup));
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < files_.size())
            settings.setValue(KeyOf(i), files_[i]);
        else
            settings.remove(KeyOf(i));
    }
}

}  // namespace qn410
