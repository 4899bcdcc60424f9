#include "print/print_request.h"

#include <cstdio>
#include <ctime>

#include "editors/dlg_direct_dial.h"
#include "editors/editor_host.h"
#include "editors/station_copy.h"

namespace qn410 {

namespace {
std::function<void(PrintJob)>& Handler() {
    static std::function<void(PrintJob)> handler;
    return handler;
}
}  // namespace

std::unique_ptr<PrintRequest> MakePrintRequest(const PrintJob& job, const SettingDocument& doc) {
    auto request = std::make_unique<PrintRequest>();
    request->category = job.category;
    request->exchange = job.exchange;
    request->filePath = doc.fileName;
    if (const auto* rows = std::any_cast<PrintRows>(&job.data)) {
        request->list = *rows;
        return request;
    }
    // Every other category prints from a whole SettingData: the sender's, or the current data
    // with the sender's working copy written in.
    if (const auto* whole = std::any_cast<SettingData>(&job.data)) {
        request->data = std::make_shared<const SettingData>(*whole);
        return request;
    }
    auto data = std::make_shared<SettingData>(doc.data());
    if (const auto* system = std::any_cast<SystemSetting>(&job.data)) {
        data->System = *system;
    } else if (const auto* stations = std::any_cast<StationCopy>(&job.data)) {
        stations->StoreInto(*data);
    } else if (const auto* port = std::any_cast<MaintenanceSetting>(&job.data)) {
        data->Maintenance = *port;
    } else if (const auto* dial = std::any_cast<DialPrintBlock>(&job.data)) {
        request->exchange = dial->exchange;
        request->master = dial->master;
        if (dial->exchange >= 1 && dial->exchange <= kExchangeCount && dial->master >= 1 &&
            dial->master <= kMasterCount) {
            data->Dial[dial->exchange - 1][dial->master - 1] = dial->table;
            data->ShotT[dial->exchange - 1][dial->master - 1] = dial->doorLockTime;
        }
    }
    request->data = std::move(data);
    return request;
}

bool PrintJobDataKnown(const PrintJob& job) {
    const std::type_info& t = job.data.type();
    return !job.data.has_value() || t == typeid(PrintRows) || t == typeid(SettingData) ||
           t == typeid(SystemSetting) || t == typeid(StationCopy) ||
           t == typeid(MaintenanceSetting) || t == typeid(DialPrintBlock);
}

std::string PrintDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // "%b %d, %Y" in English whatever the user's locale: the listing's own format.
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    std::snprintf(text, sizeof text, "%s %02d, %d", kMonths[local.tm_mon % 12], local.tm_mday,
                  local.tm_year + 1900);
    return text;
}

void SetPrintJobHandler(std::function<void(PrintJob)> handler) {
    Handler() = std::move(handler);
}

void PostPrintJob(PrintJob job) {
    if (Handler()) Handler()(std::move(job));
}

}  // namespace qn410
