#include "editors/exchange_selector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>

#include "setting/setting_data.h"

namespace qn410 {

ExchangeSelector::ExchangeSelector(QWidget* parent, int exchanges, std::function<void(int)> shown)
    : label_(new QLabel(parent)), list_(new QComboBox(parent)), shown_(std::move(shown)) {
    const int count = std::clamp(exchanges, 1, kExchangeCount);
    label_->setText(QStringLiteral("Exchange No. (1-%1):").arg(count));
    for (int e = 1; e <= count; ++e) list_->addItem(QString::number(e));
    label_->setBuddy(list_);
    QObject::connect(list_, &QComboBox::currentIndexChanged, list_,
                     [this](int index) { shown_(index + 1); });
}

QHBoxLayout* ExchangeSelector::Row() const {
    auto* row = new QHBoxLayout;
    row->addWidget(label_);
    row->addWidget(list_);
    row->addStretch();
    return row;
}

int ExchangeSelector::Current() const {
    return list_->currentIndex() + 1;
}

void ExchangeSelector::Select(int exchange) {
    if (exchange < 1 || exchange > list_->count()) return;
    if (Current() == exchange)
        shown_(exchange);
    else
        list_->setCurrentIndex(exchange - 1);
}

}  // namespace qn410
