// The layouts by category code and the one paint routine behind paper, preview and PDF.
#pragma once

#include <QRectF>
#include <cstdint>
#include <functional>
#include <vector>

#include "print/print_request.h"

class QPagedPaintDevice;
class QPainter;

namespace qn410 {

class PageWriter;

struct CategoryLayout {
    uint8_t code;
    const char* title;  // the page title, as the category is called everywhere
    void (*print)(PageWriter& page, const PrintRequest& request);
};

// The layout of a code; nullptr for 0x00, 0x0A and unknown codes.
const CategoryLayout* FindLayout(uint8_t code);
// The codes the all-categories printout (0x00) prints, in its order.
const std::vector<uint8_t>& AllCategoryCodes();
// How many categories the request prints (0: it prints nothing).
int CategoryCount(const PrintRequest& request);

struct PaintResult {
    int pages = 0;         // pages drawn, numbered 1..pages
    int outside = 0;       // texts or rules outside the printable area
    bool complete = true;  // false: the device failed or the printout was cancelled
};

// Paints the request on a painter's printable area `page`; newPage starts each page after the
// first; afterCategory runs after each category (false cancels the rest).
PaintResult PaintPrintout(QPainter& painter, QRectF page, const PrintRequest& request,
                          const std::function<bool()>& newPage,
                          const std::function<bool()>& afterCategory = {});
// The same on a printer or PDF writer: the whole printable area, new pages from the device.
PaintResult PaintPrintout(QPagedPaintDevice& device, const PrintRequest& request,
                          const std::function<bool()>& afterCategory = {});

}  // namespace qn410
