#include "print/dlg_printout.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "setting/prompt.h"

namespace qn410 {

CDlgPrintout::CDlgPrintout(int switchCnt, Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      switchCnt_(switchCnt),
      prompt_(prompt),
      all_(new QRadioButton(QStringLiteral("All "), this)),
      single_(new QRadioButton(QStringLiteral("Single"), this)),
      number_(new QLineEdit(this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    setWindowTitle(QStringLiteral("Printout"));
    auto* group = new QGroupBox(QStringLiteral("Select the exchange(s)"), this);
    auto* label = new QLabel(QStringLiteral("Exchange No. (1-%1):").arg(switchCnt_), group);
    label->setBuddy(number_);
    number_->setMaxLength(2);
    number_->setText(QStringLiteral("1"));
    // The spin control: two arrows beside the field, 1..SwitchCnt.
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) b->setFixedHeight(number_->sizeHint().height() / 2);
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(up_);
    spin->addWidget(down_);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(label);
    numberRow->addWidget(number_);
    numberRow->addLayout(spin);
    auto* radios = new QHBoxLayout;
    radios->addWidget(all_);
    radios->addWidget(single_);
    radios->addStretch();
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addLayout(radios);
    inGroup->addLayout(numberRow);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    print->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgPrintout::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    all_->setChecked(true);
    connect(single_, &QRadioButton::toggled, this, &CDlgPrintout::UpdateEnabled);
    UpdateEnabled();
    all_->setFocus();
}

void CDlgPrintout::UpdateEnabled() {
    for (QWidget* w : std::initializer_list<QWidget*>{number_, up_, down_})
        w->setEnabled(single_->isChecked());
}

void CDlgPrintout::Step(int delta) {
    bool ok = false;
    const int value = number_->text().toInt(&ok);
    number_->setText(QString::number(std::clamp(ok ? value + delta : 1, 1, switchCnt_)));
}

void CDlgPrintout::accept() {
    exchange_ = 0;
    if (single_->isChecked()) {
        bool ok = false;
        const int value = number_->text().trimmed().toInt(&ok);
        if (!ok || value < 1 || value > switchCnt_) {
            prompt_.Tell("Incorrect exchange No.", PromptIcon::Question);
            number_->setFocus();
            number_->selectAll();
            return;
        }
        exchange_ = value;
    }
    QDialog::accept();
}

}  // namespace qn410
