#include "transfer/setting_verify.h"

#include "transfer/record_codec.h"
#include "transfer/upload_plan.h"

namespace qn410 {

// The data blocks are megabytes: they live on the heap, never on a thread's stack.
std::unique_ptr<SettingData> AsExchangesWouldHold(const SettingData& file, int exchange) {
    // The zone records are encoded from the zone tables, which a file read leaves to the caller.
    auto source = std::make_unique<SettingData>(file);
    RebuildZoneTables(*source);
    auto held = std::make_unique<SettingData>(file);
    const UploadPlan plan(*source, exchange);
    for (int s = 1; s <= plan.size(); ++s)
        if (const auto record = plan.Record(s)) Decode(*record, *held);
    return held;
}

std::vector<FieldDifference> VerifyDownload(const SettingData& file, const SettingData& downloaded,
                                            int exchange) {
    return CompareSettings(*AsExchangesWouldHold(file, exchange), downloaded);
}

}  // namespace qn410
