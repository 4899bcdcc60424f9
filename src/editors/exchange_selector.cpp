#include "editors/exchange_selector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>

#include "setting/setting_data.h"

namespace qn410 {

ExchangeSelector::ExchangeSelector(const SettingData& data, bool offerAll, QWidget* parent)
    : QWidget(parent),
      exchanges_(ExchangesInUse(data)),
      label_(new QLabel(QStringLiteral("Exchange No. (1-%1):").arg(exchanges_), this)),
      list_(new QComboBox(this)) {
    for (int e = 1; e <= exchanges_; ++e) list_->addItem(QString::number(e));
    if (offerAll && exchanges_ > 1) list_->addItem(QStringLiteral("ALL"));
    label_->setBuddy(list_);
    setFocusProxy(list_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label_);
    row->addWidget(list_);
    row->addStretch();
    list_->setCurrentIndex(0);
    connect(list_, &QComboBox::currentIndexChanged, this, &ExchangeSelector::changed);
}

int ExchangeSelector::Selected() const {
    const int index = list_->currentIndex();
    return index >= exchanges_ ? kAll : index + 1;
}

void ExchangeSelector::Select(int exchange) {
    if (exchange != kAll && (exchange < 1 || exchange > exchanges_)) return;
    list_->setCurrentIndex(exchange == kAll ? exchanges_ : exchange - 1);
}

void ExchangeSelector::Reselect(int exchange) {
    if (Selected() == exchange)
        emit changed();
    else
        Select(exchange);
}

}  // namespace qn410
