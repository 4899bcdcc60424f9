// qn410ctl dial upload and download: one master station's dialing assignment table to or from
// its exchange over the serial line, on the Dialing Assignment editor's own transfer.
//   dial upload FILE --exchange E --master M [--port PORT] [--timeout SECONDS]
//   dial download OUT --exchange E --master M [--base FILE] [--port PORT] [--timeout SECONDS]
#include <unistd.h>

#include <QCoreApplication>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>

#include "command_line.h"
#include "ctl_command.h"
#include "ctl_files.h"
#include "dial_link.h"
#include "event_loop.h"
#include "setting/setting_file.h"
#include "stream_prompt.h"
#include "transfer/dial_table.h"
#include "transfer_options.h"

namespace qn410::ctl {

namespace {

constexpr char kDialUsage[] =
    "Usage: qn410ctl dial upload FILE --exchange E --master M [--port PORT] [--timeout SECONDS]\n"
    "       qn410ctl dial download OUT --exchange E --master M [--base FILE] [--port PORT] "
    "[--timeout SECONDS]\n";

struct DialOptions {
    bool upload = true;
    std::string file, port, base;
    int exchange = 0, master = 0, timeoutSeconds = 0;
};

std::optional<DialOptions> Parse(const Args& args, std::ostream& err) {
    DialOptions o;
    auto fail = [&](const std::string& why) {
        err << "qn410ctl: " << why << '\n' << kDialUsage;
        return std::nullopt;
    };
    if (args.empty() || (args[0] != "upload" && args[0] != "download"))
        return fail("dial needs upload or download");
    o.upload = args[0] == "upload";
    std::string missing;
    const auto arguments = SplitArguments(args, 1, missing);
    if (!arguments) return fail(missing + " needs a value");
    for (const auto& [name, value, option] : *arguments) {
        if (!option) {
            if (!o.file.empty()) return fail("one file only: " + name);
            o.file = name;
            continue;
        }
        std::optional<int> n;
        if (name == "--exchange" && (n = WholeNumber(value, 1, kExchangeCount))) {
            o.exchange = *n;
        } else if (name == "--master" && (n = WholeNumber(value, 1, kMasterCount))) {
            o.master = *n;
        } else if (name == "--timeout" && (n = WholeNumber(value, 1, kTransferTimeoutSeconds))) {
            o.timeoutSeconds = *n;
        } else if (name == "--port" && !value.empty()) {
            o.port = value;
        } else if (name == "--base" && !o.upload) {
            o.base = value;
        } else {
            return fail("wrong option or value: " + name + " " + value);
        }
    }
    if (o.file.empty()) return fail(o.upload ? "FILE is missing" : "OUT is missing");
    if (o.exchange == 0) return fail("--exchange 1..16 is required");
    if (o.master == 0) return fail("--master 1..4 is required");
    return o;
}

TransferOutcome Transfer(SettingDocument& doc, Prompt& prompt, std::ostream& err,
                         const DialOptions& o) {
    const PortChoice port = ChoosePort(o.port, doc.data().Maintenance);
    // The port map reaches a device path through COM1.
    if (!port.devicePath.empty()) setenv("QN410_COM1", port.devicePath.c_str(), 1);
    const auto app = EnsureApplication();
    std::ostream* progress = isatty(STDERR_FILENO) ? &err : nullptr;
    DialLink link(doc, prompt, progress, o.timeoutSeconds);
    return link.Run(port.settings, o.upload, o.exchange, o.master);
}

int RunDial(const Args& args, std::ostream&, std::ostream& err) {
    const auto o = Parse(args, err);
    if (!o) return 2;
    SettingDocument doc;
    StreamPrompt prompt(err);
    std::string password;  // a new file has an empty password
    const std::string& source = o->upload ? o->file : o->base;
    if (!source.empty()) {
        if (!LoadSettingFile(source, doc, password, prompt, err)) return 1;
        // The exchanges the file knows; without a base file any of the 16.
        if (o->exchange > doc.data().System.SwitchCnt) {
            prompt.Tell("Incorrect exchange No.", PromptIcon::Question);
            return 1;
        }
    }
    if (o->upload) {
        // The editor's check before an upload: a table it would refuse is not sent.
        auto tables = std::make_unique<DialTables>();
        CopyDialTables(doc.data(), *tables);
        if (const auto failure = CheckDialTables(*tables, doc.data().System.SwitchCnt)) {
            err << "qn410ctl: " << o->file << ": exchange " << failure->exchange << ", master "
                << failure->master << ", switch " << failure->entry << ": Incorrect dial number\n";
            return 1;
        }
        return Transfer(doc, prompt, err, *o) == TransferOutcome::Uploaded ? 0 : 1;
    }
    if (Transfer(doc, prompt, err, *o) != TransferOutcome::Downloaded) return 1;
    return WriteSettingFile(o->file, doc, password, prompt) ? 0 : 1;
}

}  // namespace

const std::vector<Command>& DialCommands() {
    static const std::vector<Command> commands = {
        {"dial",
         "upload FILE | download OUT  --exchange E --master M [--base FILE] [--port PORT] "
         "[--timeout SECONDS]",
         "send or receive the dialing assignment table of master M of exchange E", RunDial},
    };
    return commands;
}

}  // namespace qn410::ctl
