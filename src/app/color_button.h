// A push button drawn by hand: a face colour, a text colour, a disabled-text colour and a bevel
// of a given width, drawn in greys one ring per pixel. Pressed, the bevel's light and dark sides
// swap; focused, a dotted focus rectangle is drawn inside the bevel.
#pragma once

#include <QColor>
#include <QPushButton>

namespace qn410 {

class CColorButton : public QPushButton {
    Q_OBJECT
  public:
    explicit CColorButton(const QString& text, QWidget* parent = nullptr);

    void SetColors(QColor face, QColor text, QColor disabledText);
    void SetBevel(int width);
    QColor face() const { return face_; }

    // The greys of ring k (0 = outermost) of a bevel width wide: {light, dark}.
    static std::pair<QColor, QColor> RingColors(int ring, int width);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor face_;
    QColor text_{0x01, 0x01, 0x01};
    QColor disabledText_{0x80, 0x80, 0x80};
    int bevel_ = 2;
};

}  // namespace qn410
