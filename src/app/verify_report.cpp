#include "app/verify_report.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "setting/prompt.h"
#include "ui/file_chooser.h"

namespace qn410 {

CVerifyReport::CVerifyReport(const QString& text, FileChooser& files, Prompt& prompt,
                             QWidget* parent)
    : QDialog(parent),
      text_(text),
      files_(files),
      prompt_(prompt),
      view_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Verify with exchanges"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* save =
        buttons->addButton(QStringLiteral("&Save..."), QDialogButtonBox::ActionRole);
    connect(save, &QPushButton::clicked, this, &CVerifyReport::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(buttons);
    resize(760, 420);
    view_->setFocus();
}

bool CVerifyReport::SaveTo(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = text_.toLocal8Bit();
    return file.write(bytes) == bytes.size() && file.flush();
}

void CVerifyReport::Save() {
    const auto path = files_.ChooseSaveFile(this, QStringLiteral("verify-report.txt"));
    if (!path) return;
    if (!SaveTo(*path))
        prompt_.Tell("The report could not be written to " + path->toStdString() + '.',
                     PromptIcon::Exclamation);
}

}  // namespace qn410
