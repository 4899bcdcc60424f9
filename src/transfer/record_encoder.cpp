// Encode: checks that the request fits its letter, then hands it to that letter's builder.
// Every record starts as a buffer of '0' holding the letter and the exchange; each builder
// writes its fields over it.
#include <algorithm>
#include <string>

#include "setting/text_field.h"
#include "transfer/record_builders.h"
#include "transfer/record_codec.h"
#include "transfer/record_fields.h"

namespace qn410 {

using namespace wire;

namespace {

// Which request fields a letter needs, so that no builder indexes outside the data.
bool Fits(char letter, const RecordRequest& r) {
    const bool exchange = InRange(r.exchange, 1, kExchangeCount);
    const bool master = exchange && InRange(r.station, 1, kMasterCount);
    switch (letter) {
        case 'A':
            return r.data && InRange(r.exchange, 0, kExchangeCount);
        case 'B':
        case 'E':
        case 'G':
        case 'L':
        case 'U':
            return r.data && master;
        case 'C':
            return r.data && exchange && InRange(r.substation, 1, kSubCount);
        case 'D':
        case 'F':
        case 'M':
            return r.data && exchange;
        case 'H':
        case 'I':
            return r.data && exchange && InRange(r.zone, 1, kZoneCount);
        case 'J':
            return r.data && exchange && InRange(r.sourceZone, 1, kZoneCount);
        case 'K':
        case 'T':
            return master;
        case 'N':
            return exchange;
        case 'O':
        case 'P':
            return InRange(r.exchange, 0, kExchangeCount);
        case 'Q':
            return InRange(r.exchange, 0, kExchangeCount);
        default:
            return false;
    }
}

}  // namespace

std::optional<WireRecord> Encode(char letter, const RecordRequest& r) {
    if (!Fits(letter, r)) return std::nullopt;
    switch (letter) {
        case 'A':
            return EncodeA(r);
        case 'B':
            return EncodeB(r);
        case 'C':
            return EncodeC(r);
        case 'D':
            return EncodeD(r);
        case 'E':
            return EncodeList('E', r, Master(r).GroupMaster, kGroupCount);
        case 'F':
            return EncodeF(r);
        case 'G':
            return EncodeG(r);
        case 'H':
            return EncodeH(r);
        case 'I':
            return EncodeMembers('I', r, r.data->Zones.Speaker[r.exchange - 1], kSpeakerCount,
                                 r.zone);
        case 'J':
            return EncodeMembers('J', r, r.data->Zones.Source[r.exchange - 1], kExternalSourceCount,
                                 r.sourceZone);
        case 'K':
            return EncodeK(r);
        case 'L':
            return EncodeList('L', r, Master(r).MeetMaster, kMeetCount);
        case 'M': {
            WireRecord body = StartRecord('M', r.exchange, m::kSize);
            PutDigits(body, m::kOutMode, 1, r.data->DirectSelect.OutMode[r.exchange - 1]);
            return body;
        }
        case 'N': {
            WireRecord body = StartRecord('N', r.exchange, n::kSize);
            PutDigits(body, n::kMaster, 1, r.station);
            PutText(body, n::kTelNo, n::kTelNoWidth, r.text);
            return body;
        }
        case 'O':
        case 'P': {
            WireRecord body = StartRecord(letter, r.exchange, op::kSize);
            body.replace(op::kData, std::min(r.text.size(), op::kDataWidth),
                         r.text.substr(0, op::kDataWidth));
            return body;
        }
        case 'Q':
            return StartRecord('Q', r.exchange, q::kSize);
        case 'U':
            return EncodeU(r);
        case 'T': {
            WireRecord body = StartRecord('T', r.exchange, t::kSize);
            PutDigits(body, t::kMaster, 1, r.station);
            return body;
        }
        default:
            return std::nullopt;
    }
}

std::string_view RecordName(char letter) {
    switch (letter) {
        case 'A':
            return "Global Setting";
        case 'B':
            return "Master Stations (Telephones)";
        case 'C':
            return "Substations";
        case 'D':
            return "C/O Trunks";
        case 'E':
            return "Group Call";
        case 'F':
            return "Call Forwarding/Time-Out";
        case 'G':
            return "Scan Monitor";
        case 'H':
            return "Paging";
        case 'I':
            return "Public Address Systems";
        case 'J':
            return "External Source Distribution";
        case 'K':
            return "Dialing Assignment";
        case 'L':
            return "Emergency Conference";
        case 'M':
            return "Direct Select";
        case 'N':
            return "Remote Dialing";
        case 'O':
            return "Log Data Request";
        case 'P':
            return "Communication Monitoring Request";
        case 'Q':
            return "Start Dwnload";
        case 'T':
            return "Direct Select Dial Request";
        case 'U':
            return "Transfer Setting";
        default:
            return {};
    }
}

}  // namespace qn410
