// What a window hands to the printing thread, and what the thread prints from.
//
// A window builds a PrintJob (editors/editor_host.h): the category code, the exchange it shows
// (0 where it has none, or for all exchanges) and, in PrintJob::data, one of these:
//
//   code                               data
//   0x00 all categories                nothing (the current setting data is printed)
//   0x01..0x0D, 0x10 setting category  a SettingData copy with the working copy written into it
//                                      (simplest for a new editor: copy host.Document().data(),
//                                      store the working copy into it as Overwrite would),
//                                      or one of the working copies printing knows:
//                                      SystemSetting, StationCopy, MaintenanceSetting (PC Port);
//                                      nothing prints the current setting data
//   0x0E Log Data                      PrintRows, eight texts per row as the list shows them:
//                                      download time, exchange, log time, line 1..4, status
//   0x0F Communication Monitor         PrintRows, three texts per row (time, exchange, data)
//   0x11 Dialing Assignment            DialPrintBlock (editors/dlg_direct_dial.h)
//
// Editors hand the job to EditorHost::PostPrint; other windows (the log and monitor lists, the
// PC Port dialog) call PostPrintJob below. Either way the user-interface thread then asks for
// the printer and turns the job into a PrintRequest, which owns private copies of everything
// it prints, so the sender may change or close its data at once. Texts are the system's
// single-byte texts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "setting/setting_data.h"

namespace qn410 {

struct PrintJob;

// The rows of a list printout (Log Data, Communication Monitor), each row its column texts.
struct PrintRows {
    std::vector<std::vector<std::string>> rows;
};

// What the printing thread prints (the block of message 0x1500).
struct PrintRequest {
    uint8_t category = 0;  // PrintCategory code
    uint8_t exchange = 0;  // 1..16, or 0 for every exchange in use
    uint8_t master = 0;    // Dialing Assignment: the master station 1..4
    std::string filePath;  // the setting file's path, for the page headers
    std::string date;      // "%b %d, %Y"; empty: the printing thread puts the current date
    std::shared_ptr<const SettingData> data;  // every category but the two lists
    PrintRows list;                           // Log Data, Communication Monitor
};

// The request for a job, its data copied and completed from the current document.
std::unique_ptr<PrintRequest> MakePrintRequest(const PrintJob& job, const SettingDocument& doc);

// Whether job.data is one of the forms above (or empty). Any other type would print the
// current setting data instead of the sender's, so every sender must pass this.
bool PrintJobDataKnown(const PrintJob& job);

// The current date as the page headers show it ("Mar 05, 2002").
std::string PrintDate();

// How a window without an EditorHost hands a job to the printing side; the program installs
// the handler (jobs are dropped without one). User-interface thread only.
void SetPrintJobHandler(std::function<void(PrintJob)> handler);
void PostPrintJob(PrintJob job);

}  // namespace qn410
