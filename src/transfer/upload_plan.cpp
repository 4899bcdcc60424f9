#include "transfer/upload_plan.h"

#include <algorithm>

#include "transfer/record_codec.h"

namespace qn410 {

namespace {

// What a letter's index counts within one exchange.
enum class Unit { None, Station, Substation, Zone, SourceZone };

struct Range {
    char letter;
    int perExchange;
    Unit unit;
};

// The letters after A and B, in upload order; each covers the target exchange(s).
constexpr Range kPerExchange[] = {
    {'C', kSubCount, Unit::Substation},
    {'D', 1, Unit::None},
    {'E', kMasterCount, Unit::Station},
    {'F', 1, Unit::None},
    {'G', kMasterCount, Unit::Station},
    {'H', kZoneCount, Unit::Zone},
    {'I', kZoneCount, Unit::Zone},
    {'J', kZoneCount, Unit::SourceZone},
    {'U', kMasterCount, Unit::Station},
    {'L', kMasterCount, Unit::Station},
    {'M', 1, Unit::None},
};
constexpr Range kMasters = {'B', kMasterCount, Unit::Station};

constexpr int kRecordsPerExchange = 140;  // C through M

int SystemCount(const SettingData& data) {
    return std::clamp<int>(data.System.SwitchCnt, 1, kExchangeCount);
}

// Step r is the first of a range of k records per exchange over exchanges first, first + 1...
UploadStep StepInRange(const Range& range, int s, int r, int exchanges, int firstExchange) {
    UploadStep step;
    step.letter = range.letter;
    step.rangeTotal = range.perExchange * exchanges;
    step.rangeIndex = s - r + 1;
    const int e = firstExchange + (s - r) / range.perExchange;
    const int unit = (s - r) % range.perExchange + 1;
    step.request.exchange = static_cast<uint8_t>(e);
    step.headerExchange = static_cast<uint8_t>(e);
    switch (range.unit) {
        case Unit::None:
            break;
        case Unit::Station:
            step.request.station = static_cast<uint8_t>(unit);
            break;
        case Unit::Substation:
            step.request.substation = static_cast<uint8_t>(unit);
            break;
        case Unit::Zone:
            step.request.zone = static_cast<uint8_t>(unit);
            break;
        case Unit::SourceZone:
            step.request.sourceZone = static_cast<uint8_t>(unit);
            break;
    }
    return step;
}

}  // namespace

int UploadStepCount(int switchCnt, int exchange) {
    const int n = std::clamp(switchCnt, 1, kExchangeCount);
    const int covered = exchange == 0 ? n : 1;
    return 1 + kMasterCount * n + kRecordsPerExchange * covered + 1;
}

int ExpectedDownloadCount(const SettingData& data, int exchange) {
    return UploadStepCount(SystemCount(data), exchange) - 1;
}

UploadPlan::UploadPlan(const SettingData& data, int exchange)
    : data_(data), switchCnt_(SystemCount(data)), exchange_(exchange) {
    size_ = exchange >= 0 && exchange <= switchCnt_ ? UploadStepCount(switchCnt_, exchange) : 0;
}

UploadStep UploadPlan::step(int s) const {
    UploadStep step;
    if (s < 1 || s > size_) return step;
    if (s == size_) {  // the closing message releases the link for the target
        step.progress = ProgressMode::Closing;
        step.setMask = 0;
        step.clearMask = kUseMulti;
        step.headerExchange = static_cast<uint8_t>(exchange_);
        step.request.exchange = static_cast<uint8_t>(exchange_);
        return step;
    }
    if (s == 1) {
        step.letter = 'A';  // for every exchange: exchange 00
        step.request.data = &data_;
        return step;
    }
    int r = 2;
    if (s < r + kMasterCount * switchCnt_) {
        step = StepInRange(kMasters, s, r, switchCnt_, 1);
    } else {
        r += kMasterCount * switchCnt_;
        const int exchanges = exchange_ == 0 ? switchCnt_ : 1;
        const int first = exchange_ == 0 ? 1 : exchange_;
        for (const Range& range : kPerExchange) {
            const int count = range.perExchange * exchanges;
            if (s < r + count) {
                step = StepInRange(range, s, r, exchanges, first);
                break;
            }
            r += count;
        }
    }
    step.request.data = &data_;
    return step;
}

TransferRequest UploadPlan::Header(int s, void* owner) const {
    const UploadStep st = step(s);
    TransferRequest header;
    header.requester = owner;
    header.setMask = st.setMask;
    header.clearMask = st.clearMask;
    header.exchange = st.headerExchange;
    return header;
}

std::optional<WireRecord> UploadPlan::Record(int s, const Clock* clock) const {
    if (s < 1 || s > size_) return std::nullopt;
    UploadStep st = step(s);
    if (st.letter == '\0') return WireRecord{};
    st.request.clock = clock;
    return Encode(st.letter, st.request);
}

bool UploadPlan::Send(LinkPoster& poster, void* owner, int s, bool cancelRequested,
                      const Clock* clock) const {
    const std::optional<WireRecord> record = Record(s, clock);
    if (!record) return false;
    // The upload opens its progress display with the first category and the whole count.
    if (s == 1)
        poster.PostProgress(UM_PROGRESS_START, kDisplayTransmitting, std::string(RecordName('A')),
                            size_);
    const UploadStep st = step(s);
    return SendRecord(poster, st.progress, st.rangeTotal, st.rangeIndex, Header(s, owner), *record,
                      cancelRequested);
}

bool StoreReceivedRecord(std::string_view body, SettingData& data, LinkPoster& poster) {
    if (body.empty() || !IsDecodable(body[0])) return false;
    poster.PostProgress(UM_PROGRESS_STEP, kDisplayReceiving, std::string(RecordName(body[0])), 0);
    return Decode(body, data);
}

bool SendStartDownload(LinkPoster& poster, void* owner, int exchange, bool cancelRequested) {
    const std::optional<WireRecord> record =
        Encode('Q', RecordRequest{.exchange = static_cast<uint8_t>(exchange)});
    if (!record) return false;
    TransferRequest header;
    header.requester = owner;
    header.setMask = exchange == 0 ? (kUseSingle | kUseMulti) : kUseMulti;
    header.clearMask = 0;
    header.exchange = static_cast<uint8_t>(exchange);
    return SendRecord(poster, ProgressMode::Single, 1, 1, header, *record, cancelRequested);
}

}  // namespace qn410
