#include "app/qn410_doc.h"

#include <QDir>
#include <QFileInfo>

#include "app/qn410_view.h"
#include "app/recent_files.h"
#include "setting/setting_file.h"
#include "ui/ansi_text.h"
#include "ui/file_chooser.h"

namespace qn410 {

namespace {
constexpr char kFileNotFound[] = "\nThe file cannot be found.";
}

CQN410Doc::CQN410Doc(CQN410View& view, FileChooser& files, RecentFiles& recent)
    : view_(view), files_(files), recent_(recent) {}

bool CQN410Doc::MayReplaceData(const char* question) {
    if (view_.RefuseWhileReading()) return false;
    return !view_.document().modified || view_.prompt().AskYesNo(question);
}

void CQN410Doc::New() {
    if (!MayReplaceData("Set file not saved.\nDefault Data setting. OK?")) return;
    SettingDocument& doc = view_.document();
    SetDefaults(doc.data());
    view_.RestartLink();
    doc.fileName.clear();
    doc.modified = false;
    emit view_.documentChanged();
}

void CQN410Doc::Open() {
    if (!MayReplaceData("Set file not saved.\nData setting. OK?")) return;
    if (const auto path = files_.ChooseOpenFile(view_.window())) ReadFrom(*path);
}

void CQN410Doc::OpenRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        view_.prompt().Tell(QStringToAnsi(QDir::toNativeSeparators(path)) + kFileNotFound,
                            PromptIcon::Exclamation);
        recent_.Remove(path);
        emit view_.documentChanged();  // the menu loses the entry
        return;
    }
    OpenNamed(path);
}

void CQN410Doc::OpenNamed(const QString& path) {
    if (!MayReplaceData("Set file not saved.\nData setting. OK?")) return;
    ReadFrom(path);
}

void CQN410Doc::ReadFrom(const QString& path) {
    SettingDocument& doc = view_.document();
    // A name that does not exist yet is written with default data by the reader and kept.
    doc.fileName = QDir::toNativeSeparators(path).toStdString();
    const ReadOutcome outcome =
        ReadSettingFile(doc.fileName, doc, view_.password(), view_.prompt());
    if (outcome != ReadOutcome::Ok && outcome != ReadOutcome::OpenFailed)
        recent_.Remove(path);
    else
        recent_.Add(path);
    view_.RestartLink();
    doc.modified = false;
    emit view_.documentChanged();
}

void CQN410Doc::Save() {
    SettingDocument& doc = view_.document();
    if (doc.fileName.empty()) {
        SaveAs();
        return;
    }
    WriteSettingFile(doc.fileName, doc, view_.password(), view_.prompt());
    emit view_.modifiedChanged();
}

void CQN410Doc::SaveAs() {
    SettingDocument& doc = view_.document();
    const auto path = files_.ChooseSaveFile(view_.window(), QString::fromStdString(doc.fileName));
    if (!path) return;
    const std::string name = QDir::toNativeSeparators(*path).toStdString();
    // The document takes the new name only once the file is really there.
    if (!WriteSettingFile(name, doc, view_.password(), view_.prompt())) return;
    doc.fileName = name;
    recent_.Add(*path);
    emit view_.documentChanged();
    emit view_.modifiedChanged();
}

void CQN410Doc::Print() {
    if (print_) print_();
}

}  // namespace qn410
