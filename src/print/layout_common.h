// What the category layouts share: the table helper, station lookups and value texts. Every
// layout draws one category of a PrintRequest on a PageWriter, for the request's exchange or
// for every exchange in use, and keeps each table row (or record of rows) on one page.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "print/page_writer.h"
#include "print/print_request.h"

namespace qn410::layout {

// A column of a table: where it starts on the grid and its heading.
struct Column {
    int at;
    QString label;
};

// A table whose heading (one or more lines) is repeated on every page it runs onto. A record's
// line i has its cells under the columns of heading line recordLine + i; the heading lines
// above recordLine are titles over groups of columns.
class Table {
  public:
    Table(PageWriter& page, std::vector<std::vector<Column>> heading, int width,
          int recordLine = 0);
    // Draws the heading, and again at the top of every page the table runs onto, each time
    // below what `above` draws (the line naming what the table belongs to).
    void Start(std::function<void()> above = nullptr);
    void Record(const std::vector<std::vector<QString>>& cells);

  private:
    void DrawHeading();
    PageWriter& page_;
    std::vector<std::vector<Column>> heading_;
    int width_;
    std::size_t recordLine_;
    std::function<void()> above_;
};

QString Ansi(std::string_view bytes);
template <std::size_t N>
QString Field(const char (&field)[N]) {
    return Ansi(std::string_view(field, strnlen(field, N)));
}
QString Number(int value, int width = 0);        // "%d" or "%<width>d"
QString OnOff(int flag);                         // "On" / "Off"
QString StationNo(const StationNumber& number);  // its text, empty when not set

// The exchanges the request prints: its own, or 1..SwitchCnt.
std::vector<int> Exchanges(const PrintRequest& request);

// Exchange, line, station number and name of a referenced station; empty texts for none.
struct StationTexts {
    QString exchange, line, station, name;
};
StationTexts MasterTexts(const SettingData& data, int exchange, int master);
StationTexts SubTexts(const SettingData& data, int exchange, int sub);

}  // namespace qn410::layout

namespace qn410 {
// The layouts of the categories, one per code (layouts_*.cpp).
void PrintGlobalSetting(PageWriter& page, const PrintRequest& request);
void PrintForwarding(PageWriter& page, const PrintRequest& request);
void PrintMasters(PageWriter& page, const PrintRequest& request);
void PrintSubstations(PageWriter& page, const PrintRequest& request);
void PrintTrunks(PageWriter& page, const PrintRequest& request);
void PrintScanMonitor(PageWriter& page, const PrintRequest& request);
void PrintGroupCall(PageWriter& page, const PrintRequest& request);
void PrintConference(PageWriter& page, const PrintRequest& request);
void PrintPaging(PageWriter& page, const PrintRequest& request);
void PrintPcPort(PageWriter& page, const PrintRequest& request);
void PrintPublicAddress(PageWriter& page, const PrintRequest& request);
void PrintExternalSources(PageWriter& page, const PrintRequest& request);
void PrintLogData(PageWriter& page, const PrintRequest& request);
void PrintMonitor(PageWriter& page, const PrintRequest& request);
void PrintDirectSelect(PageWriter& page, const PrintRequest& request);
void PrintDialingAssignment(PageWriter& page, const PrintRequest& request);
}  // namespace qn410
