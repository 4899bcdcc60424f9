#include "ui/title_width.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace qn410 {

int TitleWidth(const QWidget& window) {
    // Window managers draw titles in their own, often bold and larger, font: measure in a bold
    // font a quarter larger than the application's, and leave room for the icon and three
    // buttons of a title-bar height each.
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    const int text = QFontMetrics(font).horizontalAdvance(window.windowTitle());
    const int button = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 24);
    return text + 4 * button;
}

void WidenForTitle(QWidget& window) {
    window.setMinimumWidth(std::max(window.minimumWidth(), TitleWidth(window)));
}

}  // namespace qn410
