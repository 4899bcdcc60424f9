#include "transfer_options.h"

#include "command_line.h"
#include "link/port_map.h"
#include "transfer/transfer_session.h"

namespace qn410::ctl {

namespace {

const char* Usage(TransferCommand command) {
    switch (command) {
        case TransferCommand::Download:
            return "Usage: qn410ctl download OUT [--exchange N] [--port PORT] [--modem DEVICE] "
                   "[--base FILE] "
                   "[--timeout SECONDS] [--trace TRACE]\n";
        case TransferCommand::Verify:
            return "Usage: qn410ctl verify FILE [--exchange N] [--port PORT] [--modem DEVICE] "
                   "[--timeout SECONDS] [--trace TRACE]\n";
        case TransferCommand::Upload:
            break;
    }
    return "Usage: qn410ctl upload FILE [--exchange N] [--port PORT] [--modem DEVICE] "
           "[--timeout SECONDS] [--trace TRACE]\n";
}

}  // namespace

std::optional<TransferOptions> ParseTransferOptions(const Args& args, TransferCommand command,
                                                    std::ostream& err) {
    const bool download = command == TransferCommand::Download;
    TransferOptions o;
    auto fail = [&](const std::string& why) {
        err << "qn410ctl: " << why << '\n' << Usage(command);
        return std::nullopt;
    };
    std::string missing;
    const auto arguments = SplitArguments(args, 0, missing);
    if (!arguments) return fail(missing + " needs a value");
    for (const auto& [name, value, option] : *arguments) {
        if (!option) {
            if (!o.file.empty()) return fail("one file only: " + name);
            o.file = name;
        } else if (name == "--exchange") {
            const auto n = WholeNumber(value, 1, kExchangeCount);
            if (!n) return fail("--exchange takes 1.." + std::to_string(kExchangeCount));
            o.exchange = *n;
        } else if (name == "--port") {
            if (value.empty()) return fail("--port needs a value");
            o.port = value;
        } else if (name == "--modem") {
            if (value.empty()) return fail("--modem needs a value");
            o.modem = value;
        } else if (name == "--timeout") {
            const auto n = WholeNumber(value, 1, kTransferTimeoutSeconds);
            if (!n) return fail("--timeout takes 1.." + std::to_string(kTransferTimeoutSeconds));
            o.timeoutSeconds = *n;
        } else if (name == "--trace") {
            if (value.empty()) return fail("--trace needs a file");
            o.trace = value;
        } else if (name == "--base" && download) {
            o.base = value;
        } else {
            return fail("unknown option " + name);
        }
    }
    if (o.file.empty()) return fail(download ? "OUT is missing" : "FILE is missing");
    return o;
}

PortChoice ChoosePort(const std::string& port, const MaintenanceSetting& fileSettings) {
    PortChoice choice;
    choice.settings = fileSettings;
    if (port.empty()) {
        if (choice.settings.PcConnect != 1) choice.settings.PcConnect = 0;  // no other channel
        return choice;
    }
    choice.settings.PcConnect = 0;
    for (int i = 0; i < kPortCount; ++i) {
        if (port == PortName(i)) {
            choice.settings.CommPort = static_cast<uint8_t>(i);
            return choice;
        }
    }
    choice.settings.CommPort = 0;
    choice.devicePath = port;
    return choice;
}

}  // namespace qn410::ctl
