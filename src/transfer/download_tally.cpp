#include "transfer/download_tally.h"

#include "transfer/record_fields.h"
#include "transfer/record_format.h"

namespace qn410 {

namespace {

// The records of one exchange in download order: letter, how many, and where the record names
// its station, substation or zone (width 0: one record per exchange).
struct Range {
    char letter;
    int count;
    std::size_t indexPos, indexWidth;
};
constexpr Range kRanges[] = {
    {'B', kMasterCount, wire::b::kMaster, 1},
    {'C', kSubCount, wire::c::kSub, 2},
    {'D', 1, 0, 0},
    {'E', kMasterCount, wire::list::kMaster, 1},
    {'F', 1, 0, 0},
    {'G', kMasterCount, wire::g::kMaster, 1},
    {'H', kZoneCount, wire::h::kZone, 2},
    {'I', kZoneCount, wire::i::kZone, 2},
    {'J', kZoneCount, wire::j::kZone, 2},
    {'U', kMasterCount, wire::u::kMaster, 1},
    {'L', kMasterCount, wire::list::kMaster, 1},
    {'M', 1, 0, 0},
};
constexpr int kPerExchange = 144;  // the counts above

}  // namespace

void DownloadTally::Reset(int exchange) {
    exchange_ = exchange;
    filled_.reset();
}

bool DownloadTally::Asked(char letter, int exchange, int switchCnt) const {
    if (exchange < 1 || exchange > kExchangeCount) return false;
    // The master stations of every exchange come with any download.
    if (letter == 'B') return exchange <= switchCnt;
    return exchange_ == 0 ? exchange <= switchCnt : exchange == exchange_;
}

std::optional<int> DownloadTally::PlaceOf(std::string_view body, int switchCnt) const {
    if (body.size() < wire::kFields) return std::nullopt;
    const char letter = body[wire::kLetter];
    if (letter == 'A') return 0;
    const int exchange = wire::ReadDigits(body, wire::kExchange, 2);
    if (!Asked(letter, exchange, switchCnt)) return std::nullopt;
    int place = 1 + (exchange - 1) * kPerExchange;
    for (const Range& r : kRanges) {
        if (r.letter != letter) {
            place += r.count;
            continue;
        }
        if (r.indexWidth == 0) return place;
        if (body.size() < r.indexPos + r.indexWidth) return std::nullopt;
        const int index = wire::ReadDigits(body, r.indexPos, r.indexWidth);
        if (!wire::InRange(index, 1, r.count)) return std::nullopt;
        return place + index - 1;
    }
    return std::nullopt;  // a letter a download does not bring
}

bool DownloadTally::Fill(int place) {
    if (place < 0 || place >= kPlaces || filled_.test(place)) return false;
    filled_.set(place);
    return true;
}

int DownloadTally::Filled(int switchCnt) const {
    int n = filled_.test(0) ? 1 : 0;
    for (int e = 1; e <= kExchangeCount; ++e) {
        int place = 1 + (e - 1) * kPerExchange;
        for (const Range& r : kRanges) {
            if (Asked(r.letter, e, switchCnt))
                for (int k = 0; k < r.count; ++k) n += filled_.test(place + k) ? 1 : 0;
            place += r.count;
        }
    }
    return n;
}

int DownloadTally::Expected(int switchCnt) const {
    int n = 1;
    for (int e = 1; e <= kExchangeCount; ++e)
        for (const Range& r : kRanges)
            if (Asked(r.letter, e, switchCnt)) n += r.count;
    return n;
}

}  // namespace qn410
