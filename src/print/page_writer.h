// The page frame and the character grid that every layout draws on. A layout gets a
// PageWriter and never knows whether it draws on paper, on the preview or into a PDF.
//
// Page frame (rows of the body font's grid):
//   row 0   "Morvak QN-410 System"                      title font, left
//   row 2   the category title                          title font, centred
//   row 4   setting file path ............ print date   small font
//   row 6.. the category's body
//   last    page number "%d"                            small font, centred
//
// Grid: x = left + 100 units + column * width of 'A', y = row * height of 'A', in the body font.
// The 100 units are those of the 600 dpi printers the listing was drawn for, scaled to the
// device, so paper, preview and PDF show the same page.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>
#include <string_view>

class QPainter;

namespace qn410 {

inline constexpr int kFirstBodyRow = 6;

class PageWriter {
  public:
    // page: the printable area in the painter's coordinates. newPage starts the device's next
    // sheet; it returns false when the device failed or the user cancelled, after which
    // nothing more is drawn.
    PageWriter(QPainter& painter, QRectF page, QString filePath, QString date,
               std::function<bool()> newPage);

    // Starts a category on a fresh page with its title (the first category takes the first
    // page), the cursor on the first body row. Clears the continuation.
    void Begin(const QString& title);
    // Keeps the next `rows` rows on one page: when they do not fit below the cursor, a new page
    // is started and the continuation (a table's heading) drawn first. Returns the first of
    // the rows; the cursor moves past them.
    int Take(int rows);
    void Skip(int rows) { Take(rows); }
    // Starts a new page (without the continuation) when `rows` rows do not fit below the
    // cursor; the cursor stays at the first of them.
    void Reserve(int rows);
    // What a continued page repeats before the rows that did not fit (nullptr: nothing).
    void SetContinuation(std::function<void()> heading) { continuation_ = std::move(heading); }

    // Text at a grid position; bytes are the system's single-byte texts.
    void Text(int column, int row, const QString& text);
    void Bytes(int column, int row, std::string_view bytes);
    // A horizontal rule along the top of a row, from one column to another.
    void Rule(int row, int fromColumn, int toColumn);

    int columns() const { return columns_; }  // grid columns that fit across the body
    int pageCount() const { return pages_; }
    // Texts and rules that reached outside the printable area (0 for a sound layout).
    int outside() const { return outside_; }
    bool ok() const { return ok_; }

  private:
    void StartPage();
    void DrawFrame();
    void Draw(const QFont& font, qreal x, qreal top, const QString& text);
    qreal X(int column) const;
    qreal Y(int row) const { return page_.top() + row * line_; }

    QPainter& painter_;
    QRectF page_;
    QString filePath_, date_, title_;
    std::function<bool()> newPage_;
    std::function<void()> continuation_;
    QFont titleFont_, bodyFont_, smallFont_;
    qreal left_ = 0, charWidth_ = 1, line_ = 1;
    int columns_ = 0, lastRow_ = 0, row_ = kFirstBodyRow;
    int pages_ = 0, outside_ = 0;
    bool ok_ = true;
};

}  // namespace qn410
