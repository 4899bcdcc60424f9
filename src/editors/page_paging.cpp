#include "editors/page_paging.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "editors/step_edit.h"

namespace qn410 {

namespace {
constexpr int32_t kUnreadableTime = 99999999;  // text that is no number; Overwrite reports it
}

QString PagingTimeStep(const QString& text, int steps) {
    const int shown =
        std::clamp(text.toInt() / 10 * 10, CPagePaging::kMinTime, CPagePaging::kMaxTime);
    return QString::number(
        std::clamp(shown + 10 * steps, CPagePaging::kMinTime, CPagePaging::kMaxTime));
}

CPagePaging::CPagePaging(ZoneTables& copy, const SettingData& data, QWidget* parent)
    : ZonePage(copy, data, ZoneUnit::Substation, parent),
      digits_(new QComboBox(this)),
      timeOut_(new QCheckBox(QStringLiteral("Paging Time-Out"), this)),
      time_(new StepEdit(PagingTimeStep, this)) {
    digits_->addItems({QStringLiteral("1"), QStringLiteral("2")});
    time_->setFixedWidth(80);
    auto* digitsLabel = new QLabel(QStringLiteral("Zone Digits(1 or %1 digits):").arg(2), this);
    auto* timeLabel =
        new QLabel(QStringLiteral("Time Limit(%1-%2 s)").arg(kMinTime).arg(kMaxTime), this);
    digitsLabel->setBuddy(digits_);
    timeLabel->setBuddy(time_);
    auto* controls = new QHBoxLayout;
    controls->addWidget(digitsLabel);
    controls->addWidget(digits_);
    controls->addSpacing(24);
    controls->addWidget(timeOut_);
    controls->addWidget(timeLabel);
    controls->addWidget(time_);
    controls->addStretch();
    pageLayout()->insertLayout(0, controls);
    setTabOrder(time_, grid());  // reading order: the controls above, then the grid

    connect(digits_, &QComboBox::activated, this, [this](int index) {
        StoreZoneSize(static_cast<uint8_t>(index + 1));
        Show(shownExchange());  // 9 or 19 zone columns
    });
    connect(timeOut_, &QCheckBox::clicked, this, &CPagePaging::OnTimeOutClicked);
    connect(time_, &StepEdit::editingFinished, this, &CPagePaging::OnTimeEdited);
    connect(time_, &StepEdit::stepped, this, &CPagePaging::OnTimeEdited);
}

ZoneRow& CPagePaging::FirstRow() const {
    const int e = shownExchange() == 0 ? 1 : shownExchange();
    return copy_.Sub[e - 1][0];
}

int CPagePaging::ZonesShown() const {
    return FirstRow().ZoneSize == 1 ? 9 : kZoneCount;
}

void CPagePaging::BeforeShow() {
    ZonePage::BeforeShow();
    ShowControls();
}

void CPagePaging::ShowControls() {
    const ZoneRow& first = FirstRow();
    digits_->setCurrentIndex(first.ZoneSize == 1 ? 0 : 1);
    timeOut_->setChecked(first.PagingTimeLimit != 0);
    time_->setText(QString::number(first.PagingTimeLimit));
    time_->setEnabled(timeOut_->isChecked());
}

void CPagePaging::StoreZoneSize(uint8_t size) {
    const int first = shownExchange() == 0 ? 1 : shownExchange();
    const int last = shownExchange() == 0 ? exchanges() : shownExchange();
    for (int e = first; e <= last; ++e)
        for (ZoneRow& row : copy_.Sub[e - 1]) row.ZoneSize = size;
}

void CPagePaging::StoreTime(int32_t seconds) {
    const int first = shownExchange() == 0 ? 1 : shownExchange();
    const int last = shownExchange() == 0 ? exchanges() : shownExchange();
    for (int e = first; e <= last; ++e)
        for (ZoneRow& row : copy_.Sub[e - 1]) row.PagingTimeLimit = seconds;
}

void CPagePaging::OnTimeOutClicked(bool on) {
    const int32_t shown = FirstRow().PagingTimeLimit;
    StoreTime(on ? (shown == 0 ? kMinTime : shown) : 0);
    ShowControls();
}

void CPagePaging::OnTimeEdited() {
    const QString text = time_->text().trimmed();
    if (!text.isEmpty()) {
        bool number = !text.startsWith('-') && !text.startsWith('+');
        const long long value = number ? text.toLongLong(&number) : 0;
        StoreTime(number ? static_cast<int32_t>(std::min<long long>(value, kUnreadableTime))
                         : kUnreadableTime);
    }
    time_->setText(QString::number(FirstRow().PagingTimeLimit));
}

}  // namespace qn410
