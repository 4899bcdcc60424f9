#include "app/color_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace qn410 {

CColorButton::CColorButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), face_(palette().color(QPalette::Button)) {}

void CColorButton::SetColors(QColor face, QColor text, QColor disabledText) {
    face_ = face;
    text_ = text;
    disabledText_ = disabledText;
    update();
}

void CColorButton::SetBevel(int width) {
    bevel_ = std::max(1, width);
    update();
}

std::pair<QColor, QColor> CColorButton::RingColors(int ring, int width) {
    // The outer ring is the strongest: white against 0x404040 for two rings, white against
    // 0x808080 for one; inner rings move towards the face greys.
    if (width <= 1) return {QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80)};
    const int step = 0x40 / std::max(1, width - 1);
    const int dark = 0x40 + ring * step;
    const int light = 0xFF - ring * (0x3F / std::max(1, width - 1));
    return {QColor(light, light, light), QColor(dark, dark, dark)};
}

void CColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, face_);

    const bool pressed = isDown() || isChecked();
    for (int ring = 0; ring < bevel_; ++ring) {
        auto [light, dark] = RingColors(ring, bevel_);
        if (pressed) std::swap(light, dark);
        const QRect r = all.adjusted(ring, ring, -ring - 1, -ring - 1);
        painter.setPen(light);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(dark);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }

    QRect textRect = all.adjusted(bevel_, bevel_, -bevel_, -bevel_);
    if (pressed) textRect.translate(1, 1);
    painter.setPen(isEnabled() ? text_ : disabledText_);
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = all.adjusted(bevel_ + 2, bevel_ + 2, -bevel_ - 2, -bevel_ - 2);
        option.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace qn410
