// The four most recently used setting files, kept in the user's settings under the organisation
// "Local AppWizard-Generated Applications" and the application "QN410", most recent first.
#pragma once

#include <QString>
#include <QStringList>

namespace qn410 {

class RecentFiles {
  public:
    static constexpr int kMaxEntries = 4;

    RecentFiles();  // loads the list
    const QStringList& files() const { return files_; }
    // Puts path first (an existing entry moves up) and saves the list.
    void Add(const QString& path);
    void Remove(const QString& path);

  private:
    void Save() const;
    QStringList files_;
};

}  // namespace qn410
