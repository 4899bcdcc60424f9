#include "transfer/page_comm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qn410 {

namespace {
constexpr int kNumberChars = 2;
constexpr int kReadChars = 20;  // how much of the field is read when starting
}  // namespace

CSpinArrows::CSpinArrows(QLineEdit* buddy, int low, int high, QWidget* parent)
    : QWidget(parent), buddy_(buddy), low_(low), high_(high) {
    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("spinUp"));
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("spinDown"));
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
    }
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
}

void CSpinArrows::Step(int by) {
    // Like a spin control bound to its field: a number outside the range starts from the bound.
    bool ok = false;
    int value = buddy_->text().toInt(&ok);
    if (!ok) value = low_ - by;
    value = std::clamp(value + by, low_, high_);
    buddy_->setText(QString::number(value));
}

CPageComm::CPageComm(int switchCnt, QWidget* parent) : QWidget(parent) {
    auto* group = new QGroupBox(QStringLiteral("Select the Exchange(s)"), this);
    all_ = new QRadioButton(QStringLiteral("All "), group);
    all_->setObjectName(QStringLiteral("all"));
    single_ = new QRadioButton(QStringLiteral("Single"), group);
    single_->setObjectName(QStringLiteral("single"));
    label_ = new QLabel(group);
    label_->setObjectName(QStringLiteral("numberLabel"));
    edit_ = new QLineEdit(group);
    edit_->setObjectName(QStringLiteral("number"));
    edit_->setMaxLength(kNumberChars);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    label_->setBuddy(edit_);
    spin_ = new CSpinArrows(edit_, 1, 1, group);
    spin_->setObjectName(QStringLiteral("spin"));
    SetSwitchCnt(switchCnt);
    edit_->installEventFilter(this);  // the Up and Down keys step the number

    auto* number = new QHBoxLayout;
    number->setSpacing(2);
    number->addWidget(label_);
    number->addSpacing(6);
    number->addWidget(edit_);
    number->addWidget(spin_);
    number->addStretch();
    auto* grid = new QVBoxLayout(group);
    grid->addWidget(all_);
    grid->addWidget(single_);
    grid->addLayout(number);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();

    connect(all_, &QRadioButton::toggled, this, [this](bool on) { EnableNumber(!on); });
    all_->setChecked(true);
    EnableNumber(false);
}

void CPageComm::SetSwitchCnt(int switchCnt) {
    label_->setText(QStringLiteral("Exchange No. (1-%1):").arg(switchCnt));
    spin_->SetHigh(std::max(1, switchCnt));
}

bool CPageComm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            spin_->Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CPageComm::EnableNumber(bool on) {
    label_->setEnabled(on);
    edit_->setEnabled(on);
    spin_->setEnabled(on);
}

bool CPageComm::allSelected() const {
    return all_->isChecked();
}

int CPageComm::typedExchange() const {
    if (allSelected()) return 0;
    const QString text = edit_->text().left(kReadChars).trimmed();
    int value = 0;
    for (QChar c : text) {
        if (!c.isDigit() || value > 99) break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

void CPageComm::FocusNumber() {
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
}

}  // namespace qn410
