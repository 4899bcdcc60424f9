// qn410ctl new and copy: setting files without the windows.
#include "ctl_command.h"
#include "ctl_files.h"
#include "setting/setting_file.h"
#include "stream_prompt.h"
#include "transfer/record_codec.h"

namespace qn410::ctl {

int RunNew(const Args& args, std::ostream&, std::ostream& err) {
    if (args.size() != 1) {
        err << "Usage: qn410ctl new FILE\n";
        return 2;
    }
    SettingDocument doc;
    StreamPrompt prompt(err);
    return WriteSettingFile(args[0], doc, "", prompt) ? 0 : 1;
}

int RunCopy(const Args& args, std::ostream&, std::ostream& err) {
    if (args.size() != 2) {
        err << "Usage: qn410ctl copy IN OUT\n";
        return 2;
    }
    SettingDocument doc;
    StreamPrompt prompt(err);
    std::string password;
    if (!LoadSettingFile(args[0], doc, password, prompt, err)) return 1;
    return WriteSettingFile(args[1], doc, password, prompt) ? 0 : 1;
}

bool LoadSettingFile(const std::string& path, SettingDocument& doc, std::string& password,
                     Prompt& prompt, std::ostream& err) {
    // The document has no file name, so a file that cannot be opened is not created here.
    switch (ReadSettingFile(path, doc, password, prompt)) {
        case ReadOutcome::Ok:
            // The file holds the zone masks only; the zone records are encoded from the tables.
            RebuildZoneTables(doc.data());
            return true;
        case ReadOutcome::MissingKey:  // the prompt has printed which key
            return false;
        case ReadOutcome::BadPassword:
            err << "qn410ctl: " << path << ": the password field is malformed\n";
            return false;
        case ReadOutcome::OpenFailed:
            err << "qn410ctl: " << path << ": cannot be opened\n";
            return false;
    }
    err << "qn410ctl: " << path << ": cannot be read\n";  // never silent
    return false;
}

}  // namespace qn410::ctl
