// The command line of qn410ctl upload and download, and the serial port it leads to.
//   upload FILE [--exchange N] [--port PORT] [--modem DEVICE] [--timeout SECONDS] [--trace TRACE]
//   download OUT [--exchange N] [--port PORT] [--modem DEVICE] [--base FILE] [--timeout SECONDS]
//            [--trace TRACE]
//   verify FILE [--exchange N] [--port PORT] [--modem DEVICE] [--timeout SECONDS]
//          [--trace TRACE]
// Options take their value as the next argument or after '=' (--exchange=3).
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "ctl_command.h"
#include "setting/setting_data.h"

namespace qn410::ctl {

struct TransferOptions {
    std::string file;        // upload: the setting file to send; download: the file to write
    int exchange = 0;        // 0 all exchanges, else 1..16 (checked against SwitchCnt by upload)
    std::string port;        // "COM1".."COM4" or a device path; empty: the file's CommPort
    std::string modem;       // the modem's device when the file's method is Modem
    std::string base;        // download only: the file whose data the records go into
    int timeoutSeconds = 0;  // 0: the transfer's own 120 seconds
    std::string trace;       // a file for the trace of every byte on the line; empty: none
};

enum class TransferCommand { Upload, Download, Verify };

// Parses args of upload (download false) or download. On a wrong command line prints the reason
// and the usage on err and returns nothing.
std::optional<TransferOptions> ParseTransferOptions(const Args& args, TransferCommand command,
                                                    std::ostream& err);
inline std::optional<TransferOptions> ParseTransferOptions(const Args& args, bool download,
                                                           std::ostream& err) {
    return ParseTransferOptions(
        args, download ? TransferCommand::Download : TransferCommand::Upload, err);
}

// The link settings for a transfer: the file's connection method (a Modem file dials its TelNo
// through the modem device) unless port is given, which forces RS-232C on that port; else
// RS-232C on fileSettings.CommPort. A device path is reached through the port map's COM1 entry,
// which the caller sets from devicePath.
struct PortChoice {
    MaintenanceSetting settings{};
    std::string devicePath;  // non-empty: point QN410_COM1 at this device
};
PortChoice ChoosePort(const std::string& port, const MaintenanceSetting& fileSettings);

}  // namespace qn410::ctl
