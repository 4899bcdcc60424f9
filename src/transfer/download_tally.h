// Which records a download is still waiting for. A download asks for the Global Setting, the
// master stations of every exchange and the other categories of its exchange (or of every
// exchange); each of those records has one place here, named by its letter, exchange and
// station, substation or zone. A record is counted once, when it first arrives; one that the
// download did not ask for (an earlier, cancelled download's leftovers still on their way, a
// record of another exchange) has no place and is neither stored nor counted. The download is
// complete when every place is filled, so leftovers can never make it end early.
#pragma once

#include <bitset>
#include <optional>
#include <string_view>

#include "setting/setting_data.h"

namespace qn410 {

class DownloadTally {
  public:
    // A new download of exchange (0 = all): nothing has arrived.
    void Reset(int exchange);

    // The place of a received record in a download of this tally's exchange while the
    // installation has switchCnt exchanges, or nothing when the download did not ask for it.
    std::optional<int> PlaceOf(std::string_view body, int switchCnt) const;
    // Marks a place filled; false when it already was.
    bool Fill(int place);

    // Places filled and places in all, with switchCnt exchanges (the Global Setting may change
    // it during the download).
    int Filled(int switchCnt) const;
    int Expected(int switchCnt) const;
    bool Complete(int switchCnt) const { return Filled(switchCnt) == Expected(switchCnt); }

  private:
    bool Asked(char letter, int exchange, int switchCnt) const;

    static constexpr int kPlaces = 1 + kExchangeCount * 144;
    int exchange_ = 0;
    std::bitset<kPlaces> filled_;
};

}  // namespace qn410
