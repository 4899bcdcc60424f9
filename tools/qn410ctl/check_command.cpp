// qn410ctl check: the station number check that guards every upload, run on a setting file.
#include <sstream>

#include "ctl_command.h"
#include "ctl_files.h"
#include "setting/setting_file.h"
#include "stream_prompt.h"
#include "transfer/station_check.h"

namespace qn410::ctl {

namespace {

const char* Reason(StationCheckCode code) {
    switch (code) {
        case StationCheckCode::Ok:
            return "no problem";
        case StationCheckCode::Duplicate:
            return "duplicate number";
        case StationCheckCode::BadDigits:
            return "wrong number of digits or value too large";
        case StationCheckCode::OutsideBlock:
            return "number outside its exchange's block";
        case StationCheckCode::TrunkDigit:
            return "first digit is an active C/O trunk access digit";
    }
    return "";
}

const char* KindName(StationKind kind) {
    return kind == StationKind::Master ? "master station" : "substation";
}

}  // namespace

std::string StationCheckFailure(const StationCheckResult& r) {
    std::ostringstream text;
    text << KindName(r.kind) << ' ' << int{r.index} << " of exchange " << int{r.exchange}
         << " (number " << r.numberText << "): " << Reason(r.code) << " (code "
         << static_cast<int>(r.code) << ")";
    if (r.code == StationCheckCode::Duplicate)
        text << ", same as " << KindName(r.otherKind) << ' ' << int{r.otherIndex} << " of exchange "
             << int{r.otherExchange};
    return text.str();
}

int RunCheck(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "Usage: qn410ctl check FILE\n";
        return 2;
    }
    SettingDocument doc;
    StreamPrompt prompt(err);
    std::string password;
    if (!LoadSettingFile(args[0], doc, password, prompt, err)) return 1;

    const StationCheckResult r = CheckStationNumbers(doc.data());
    if (r.ok()) {
        out << args[0] << ": station numbers pass the check\n";
        return 0;
    }
    err << "qn410ctl: " << args[0] << ": " << StationCheckFailure(r) << '\n';
    return 1;
}

}  // namespace qn410::ctl
