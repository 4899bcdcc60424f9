// qn410ctl diff: the fields in which two setting files differ, in the installer's terms.
#include "ctl_command.h"
#include "ctl_files.h"
#include "setting/setting_compare.h"
#include "stream_prompt.h"

namespace qn410::ctl {

int RunDiff(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "Usage: qn410ctl diff A B\n";
        return 2;
    }
    StreamPrompt prompt(err);
    SettingDocument a;
    SettingDocument b;
    std::string password;
    if (!LoadSettingFile(args[0], a, password, prompt, err)) return 1;
    if (!LoadSettingFile(args[1], b, password, prompt, err)) return 1;
    const auto differences = CompareSettings(a.data(), b.data());
    out << FormatDifferences(differences);
    if (differences.empty()) return 0;
    err << "qn410ctl: " << differences.size()
        << (differences.size() == 1 ? " field differs\n" : " fields differ\n");
    return 1;
}

}  // namespace qn410::ctl
