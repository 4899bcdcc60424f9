// qn410ctl upload and download: the whole setting data to or from the exchanges over the serial
// line, for scripted commissioning and backups.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "ctl_command.h"
#include "ctl_files.h"
#include "link_transfer.h"
#include "setting/setting_file.h"
#include "stream_prompt.h"
#include "transfer/station_check.h"
#include "transfer_options.h"
#include "ui/open_problem_prompt.h"

namespace qn410::ctl {

namespace {

constexpr char kIncorrectExchange[] = "Incorrect exchange No.";

// The event loop of the link; the program has none of its own.
std::unique_ptr<QCoreApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "qn410ctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

TransferOutcome Transfer(SettingDocument& doc, StreamPrompt& prompt, std::ostream& err,
                         const TransferOptions& options, bool upload) {
    const PortChoice port = ChoosePort(options.port, doc.data().Maintenance);
    // The port map reaches a device path through COM1.
    if (!port.devicePath.empty()) setenv("QN410_COM1", port.devicePath.c_str(), 1);
    if (!options.modem.empty()) setenv("QN410_MODEM", options.modem.c_str(), 1);
    const auto app = EnsureApplication();
    // The progress line only where somebody watches it.
    std::ostream* progress = isatty(STDERR_FILENO) ? &err : nullptr;
    OpenProblemPrompt shown(prompt);  // adds why a device would not open, where it can be fixed
    LinkTransfer transfer(doc, shown, progress, options.timeoutSeconds);
    return transfer.Run(port.settings, upload, options.exchange);
}

}  // namespace

const std::vector<Command>& TransferCommands() {
    static const std::vector<Command> commands = {
        {"upload", "FILE [--exchange N] [--port PORT] [--modem DEVICE] [--timeout SECONDS]",
         "send the setting data of FILE to all exchanges or exchange N", RunUpload},
        {"download",
         "OUT [--exchange N] [--port PORT] [--modem DEVICE] [--base FILE] [--timeout SECONDS]",
         "receive the setting data of all exchanges or exchange N and write it to OUT",
         RunDownload},
    };
    return commands;
}

int RunUpload(const Args& args, std::ostream&, std::ostream& err) {
    const auto options = ParseTransferOptions(args, false, err);
    if (!options) return 2;
    SettingDocument doc;
    StreamPrompt prompt(err);
    std::string password;
    if (!LoadSettingFile(options->file, doc, password, prompt, err)) return 1;

    const StationCheckResult check = CheckStationNumbers(doc.data());
    if (!check.ok()) {
        err << "qn410ctl: " << options->file << ": " << StationCheckFailure(check) << '\n';
        return 1;
    }
    if (options->exchange > doc.data().System.SwitchCnt) {
        prompt.Tell(kIncorrectExchange, PromptIcon::Question);
        return 1;
    }
    return Transfer(doc, prompt, err, *options, true) == TransferOutcome::Uploaded ? 0 : 1;
}

int RunDownload(const Args& args, std::ostream&, std::ostream& err) {
    const auto options = ParseTransferOptions(args, true, err);
    if (!options) return 2;
    SettingDocument doc;
    StreamPrompt prompt(err);
    std::string password;  // a new file has an empty password
    if (!options->base.empty()) {
        if (!LoadSettingFile(options->base, doc, password, prompt, err)) return 1;
        // The exchanges the base knows, as the sheet checks against the data in the tool. The
        // defaults' single exchange says nothing about a site: without a base any of the 16.
        if (options->exchange > doc.data().System.SwitchCnt) {
            prompt.Tell(kIncorrectExchange, PromptIcon::Question);
            return 1;
        }
    }
    if (Transfer(doc, prompt, err, *options, false) != TransferOutcome::Downloaded) return 1;
    return WriteSettingFile(options->file, doc, password, prompt) ? 0 : 1;
}

}  // namespace qn410::ctl
