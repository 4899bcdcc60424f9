#include "print/printout.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <array>

#include "print/layout_common.h"
#include "print/page_writer.h"

namespace qn410 {

namespace {
constexpr std::array<CategoryLayout, 16> kLayouts = {{
    {0x01, "Global Setting", PrintGlobalSetting},
    {0x02, "Call Forwarding/Time-Out", PrintForwarding},
    {0x03, "Master Stations (Telephones)", PrintMasters},
    {0x04, "Substations", PrintSubstations},
    {0x05, "C/O Trunks", PrintTrunks},
    {0x06, "Scan Monitor", PrintScanMonitor},
    {0x07, "Group Call", PrintGroupCall},
    {0x08, "Emergency Conference", PrintConference},
    {0x09, "Paging", PrintPaging},
    {0x0B, "PC Port", PrintPcPort},
    {0x0C, "Public Address Systems", PrintPublicAddress},
    {0x0D, "External Source Distribution", PrintExternalSources},
    {0x0E, "Log Data", PrintLogData},
    {0x0F, "Communication Monitor", PrintMonitor},
    {0x10, "Direct Select", PrintDirectSelect},
    {0x11, "Dialing Assignment", PrintDialingAssignment},
}};

constexpr bool IsList(uint8_t code) {
    return code == 0x0E || code == 0x0F;
}

std::vector<uint8_t> CodesOf(const PrintRequest& request) {
    if (request.category == 0x00) return request.data ? AllCategoryCodes() : std::vector<uint8_t>{};
    const CategoryLayout* layout = FindLayout(request.category);
    // A setting category without its data prints nothing.
    if (!layout || (!IsList(request.category) && !request.data)) return {};
    return {request.category};
}
}  // namespace

const CategoryLayout* FindLayout(uint8_t code) {
    const auto it = std::find_if(kLayouts.begin(), kLayouts.end(),
                                 [code](const CategoryLayout& l) { return l.code == code; });
    return it == kLayouts.end() ? nullptr : &*it;
}

const std::vector<uint8_t>& AllCategoryCodes() {
    // Log, monitor, PC port and dialing assignment print only from their own windows.
    static const std::vector<uint8_t> codes = {0x01, 0x03, 0x04, 0x05, 0x07, 0x02,
                                               0x06, 0x09, 0x0C, 0x0D, 0x08, 0x10};
    return codes;
}

int CategoryCount(const PrintRequest& request) {
    return static_cast<int>(CodesOf(request).size());
}

PaintResult PaintPrintout(QPainter& painter, QRectF page, const PrintRequest& request,
                          const std::function<bool()>& newPage,
                          const std::function<bool()>& afterCategory) {
    PageWriter writer(painter, page, QString::fromLocal8Bit(request.filePath),
                      QString::fromLatin1(request.date), newPage);
    PaintResult result;
    for (uint8_t code : CodesOf(request)) {
        const CategoryLayout* layout = FindLayout(code);
        writer.Begin(QString::fromLatin1(layout->title));
        layout->print(writer, request);
        writer.SetContinuation(nullptr);  // a layout's tables end with it
        if (!writer.ok() || (afterCategory && !afterCategory())) {
            result.complete = false;
            break;
        }
    }
    result.pages = writer.pageCount();
    result.outside = writer.outside();
    result.complete = result.complete && writer.ok();
    return result;
}

PaintResult PaintPrintout(QPagedPaintDevice& device, const PrintRequest& request,
                          const std::function<bool()>& afterCategory) {
    QPainter painter;
    if (CategoryCount(request) == 0 || !painter.begin(&device)) return {0, 0, false};
    const PaintResult result = PaintPrintout(
        painter, QRectF(0, 0, device.width(), device.height()), request,
        [&device] { return device.newPage(); }, afterCategory);
    painter.end();
    return result;
}

}  // namespace qn410
