#include "print/page_writer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include "ui/ansi_text.h"

namespace qn410 {

namespace {
const char kSystemTitle[] = "Morvak QN-410 System";
constexpr qreal kTitlePoints = 14, kBodyPoints = 9, kSmallPoints = 8;
constexpr qreal kLeftUnits = 100, kDesignDpi = 600;
constexpr int kTitleRow = 0, kCategoryRow = 2, kPathRow = 4;

// "Arial" (fontconfig gives its metric twin); half-width katakana, which it lacks, come from a
// Japanese gothic installed beside it.
QFont ListingFont(qreal points) {
    QFont font;
    // Qt takes the first family it knows: Arial where it is installed, else its metric twin.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("VL PGothic"), QStringLiteral("IPAPGothic")});
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setKerning(false);  // a character grid: every text keeps its advance
    return font;
}
}  // namespace

PageWriter::PageWriter(QPainter& painter, QRectF page, QString filePath, QString date,
                       std::function<bool()> newPage)
    : painter_(painter),
      page_(page),
      filePath_(std::move(filePath)),
      date_(std::move(date)),
      newPage_(std::move(newPage)),
      titleFont_(ListingFont(kTitlePoints)),
      bodyFont_(ListingFont(kBodyPoints)),
      smallFont_(ListingFont(kSmallPoints)) {
    QPaintDevice* device = painter_.device();
    const QFontMetricsF body(bodyFont_, device);
    charWidth_ = body.horizontalAdvance(QLatin1Char('A'));
    line_ = body.height();
    left_ = page_.left() + kLeftUnits * device->logicalDpiX() / kDesignDpi;
    columns_ = static_cast<int>((page_.right() - left_) / charWidth_);
    lastRow_ = static_cast<int>(page_.height() / line_) - 1;
}

void PageWriter::Begin(const QString& title) {
    title_ = title;
    continuation_ = nullptr;
    StartPage();
}

void PageWriter::StartPage() {
    if (!ok_) return;
    if (pages_ > 0 && !newPage_()) {
        ok_ = false;
        return;
    }
    ++pages_;
    row_ = kFirstBodyRow;
    DrawFrame();
}

int PageWriter::Take(int rows) {
    // The page number's row and the blank row above it stay free.
    if (row_ + rows > lastRow_ - 1 && row_ > kFirstBodyRow) {
        StartPage();
        if (auto heading = std::exchange(continuation_, nullptr)) {
            heading();
            continuation_ = std::move(heading);
        }
    }
    const int first = row_;
    row_ += rows;
    return first;
}

void PageWriter::Reserve(int rows) {
    if (row_ + rows > lastRow_ - 1 && row_ > kFirstBodyRow) StartPage();
}

qreal PageWriter::X(int column) const {
    return left_ + column * charWidth_;
}

void PageWriter::Draw(const QFont& font, qreal x, qreal top, const QString& text) {
    if (!ok_ || text.isEmpty()) return;
    const QFontMetricsF metrics(font, painter_.device());
    const QRectF box(x, top, metrics.horizontalAdvance(text), metrics.height());
    if (!page_.contains(box)) ++outside_;
    painter_.setFont(font);
    painter_.drawText(QPointF(x, top + metrics.ascent()), text);
}

void PageWriter::DrawFrame() {
    Draw(titleFont_, X(0), Y(kTitleRow), QString::fromLatin1(kSystemTitle));
    const QFontMetricsF title(titleFont_, painter_.device());
    Draw(titleFont_, page_.center().x() - title.horizontalAdvance(title_) / 2, Y(kCategoryRow),
         title_);
    // The path and the date on one line; when both do not fit, the file name alone.
    const QFontMetricsF small(smallFont_, painter_.device());
    const qreal dateWidth = small.horizontalAdvance(date_);
    const qreal room = page_.right() - X(0) - dateWidth - 2 * charWidth_;
    QString path = filePath_;
    if (small.horizontalAdvance(path) > room) {
        path = path.mid(qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf('/')) + 1);
        path = small.elidedText(path, Qt::ElideLeft, room);  // a name longer than the line
    }
    Draw(smallFont_, X(0), Y(kPathRow), path);
    Draw(smallFont_, page_.right() - dateWidth, Y(kPathRow), date_);
    const QString number = QString::number(pages_);
    Draw(smallFont_, page_.center().x() - small.horizontalAdvance(number) / 2, Y(lastRow_), number);
}

void PageWriter::Text(int column, int row, const QString& text) {
    Draw(bodyFont_, X(column), Y(row), text);
}

void PageWriter::Bytes(int column, int row, std::string_view bytes) {
    Text(column, row, AnsiToQString(bytes));
}

void PageWriter::Rule(int row, int fromColumn, int toColumn) {
    if (!ok_) return;
    const QLineF line(X(fromColumn), Y(row), X(toColumn), Y(row));
    if (!page_.contains(line.p1()) || !page_.contains(line.p2())) ++outside_;
    painter_.drawLine(line);
}

}  // namespace qn410
