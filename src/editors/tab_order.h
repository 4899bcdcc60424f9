// Tab order in reading order: each widget of the list is followed by the next.
#pragma once

#include <QWidget>
#include <vector>

namespace qn410 {

inline void SetReadingOrder(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 0; i + 1 < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i], widgets[i + 1]);
}

}  // namespace qn410
