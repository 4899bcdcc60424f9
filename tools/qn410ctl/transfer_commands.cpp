// qn410ctl upload and download: the whole setting data to or from the exchanges over the serial
// line, for scripted commissioning and backups.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "ctl_command.h"
#include "ctl_files.h"
#include "event_loop.h"
#include "link/line_trace.h"
#include "link_transfer.h"
#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "stream_prompt.h"
#include "transfer/setting_verify.h"
#include "transfer/station_check.h"
#include "transfer_options.h"
#include "ui/open_problem_prompt.h"

namespace qn410::ctl {

namespace {

constexpr char kIncorrectExchange[] = "Incorrect exchange No.";

// Why a transfer failed, for the rare end that has shown nothing itself (a status report of the
// exchange without a text of its own).
const char* OutcomeText(TransferOutcome outcome) {
    switch (outcome) {
        case TransferOutcome::FailedTransmit:
            return kFailedToTransmit;
        case TransferOutcome::FailedReceive:
            return kFailedToReceive;
        case TransferOutcome::FailedOpen:
            return kFailedToOpen;
        case TransferOutcome::TimedOut:
            return kCommunicationsTimeOut;
        default:
            return "the transfer was cancelled";
    }
}

TransferOutcome Transfer(SettingDocument& doc, StreamPrompt& prompt, std::ostream& err,
                         const TransferOptions& options, bool upload) {
    const PortChoice port = ChoosePort(options.port, doc.data().Maintenance);
    // The port map reaches a device path through COM1.
    if (!port.devicePath.empty()) setenv("QN410_COM1", port.devicePath.c_str(), 1);
    if (!options.modem.empty()) setenv("QN410_MODEM", options.modem.c_str(), 1);
    const auto app = EnsureApplication();
    if (!options.trace.empty()) {
        auto trace = LineTrace::ToFile(options.trace);
        if (!trace) {
            err << "qn410ctl: " << options.trace << ": the trace file cannot be created\n";
            return TransferOutcome::FailedOpen;
        }
        SetLineTrace(std::move(trace));
    }
    // The progress line only where somebody watches it.
    std::ostream* progress = isatty(STDERR_FILENO) ? &err : nullptr;
    OpenProblemPrompt shown(prompt);  // adds why a device would not open, where it can be fixed
    LinkTransfer transfer(doc, shown, progress, options.timeoutSeconds);
    const int said = prompt.count;
    const TransferOutcome outcome = transfer.Run(port.settings, upload, options.exchange);
    SetLineTrace(nullptr);  // closes the trace file
    // Exit status 1 always comes with a reason.
    const bool ok = outcome == (upload ? TransferOutcome::Uploaded : TransferOutcome::Downloaded);
    if (!ok && prompt.count == said) prompt.Tell(OutcomeText(outcome), PromptIcon::None);
    return outcome;
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
        {"verify",
         "FILE [--exchange N] [--port PORT] [--modem DEVICE] [--timeout SECONDS] [--trace TRACE]",
         "download the data of all exchanges or exchange N into memory and list where it "
         "differs from FILE (exit 1 when it does); nothing is written",
         RunVerify},
        {"log", "[--exchange LIST] [--folder DIR] [--port PORT] [--for SECONDS]",
         "collect log records of the exchanges in LIST (1,3; all by default) into the daily files",
         RunLog},
        {"monitor", "[--exchange LIST] [--folder DIR] [--port PORT] [--for SECONDS]",
         "collect communication monitoring records into the daily files", RunMonitor},
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

int RunVerify(const Args& args, std::ostream& out, std::ostream& err) {
    const auto options = ParseTransferOptions(args, TransferCommand::Verify, err);
    if (!options) return 2;
    SettingDocument file;
    StreamPrompt prompt(err);
    std::string password;
    if (!LoadSettingFile(options->file, file, password, prompt, err)) return 1;
    if (options->exchange > file.data().System.SwitchCnt) {
        prompt.Tell(kIncorrectExchange, PromptIcon::Question);
        return 1;
    }
    // The download goes into a copy of the file's data, so what no record carries keeps the
    // file's value; the file itself is never written.
    SettingDocument downloaded;
    downloaded.data() = file.data();
    if (Transfer(downloaded, prompt, err, *options, false) != TransferOutcome::Downloaded) return 1;
    const auto differences = VerifyDownload(file.data(), downloaded.data(), options->exchange);
    out << FormatDifferences(differences);
    err << kNotComparedNote << '\n';
    if (differences.empty()) {
        err << "qn410ctl: the exchanges hold the data of " << options->file << '\n';
        return 0;
    }
    err << "qn410ctl: " << differences.size()
        << (differences.size() == 1 ? " field differs" : " fields differ") << " from "
        << options->file << '\n';
    return 1;
}

}  // namespace qn410::ctl
