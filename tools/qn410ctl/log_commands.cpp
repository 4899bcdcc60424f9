// qn410ctl log and monitor: a collector without windows for a server or a long commissioning.
// It sends the Log Data Request (or the Communication Monitoring Request) for the chosen
// exchanges, writes every arriving record to the program's daily files (the same code, names
// and bytes) and prints it as one line, the window's columns separated by tabs. On Ctrl-C,
// SIGTERM or the end of --for it sends the request with no exchange selected, so that the
// exchanges stop sending, and exits 0.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <charconv>
#include <cstdlib>
#include <memory>

#include "command_line.h"
#include "ctl_command.h"
#include "event_loop.h"
#include "interrupt_notice.h"
#include "link/link_broker.h"
#include "link/link_event.h"
#include "monitor/daily_file.h"
#include "monitor/log_columns.h"
#include "stream_prompt.h"
#include "transfer/record_codec.h"
#include "transfer_options.h"

namespace qn410::ctl {

namespace {

constexpr int kAnswerSeconds = 120;  // as the window's watchdog

struct ReadingOptions {
    std::array<bool, kExchangeCount> exchanges{};
    std::string folder;
    std::string port;
    int seconds = 0;  // 0: until interrupted
};

std::optional<ReadingOptions> Parse(const Args& args, const char* name, std::ostream& err) {
    ReadingOptions o;
    o.exchanges.fill(true);
    auto fail = [&](const std::string& why) {
        err << "qn410ctl " << name << ": " << why << "\nUsage: qn410ctl " << name
            << " [--exchange LIST] [--folder DIR] [--port PORT] [--for SECONDS]\n";
        return std::nullopt;
    };
    std::string missing;
    const auto arguments = SplitArguments(args, 0, missing);
    if (!arguments) return fail("missing value of " + missing);
    for (const auto& [option, value, isOption] : *arguments) {
        if (!isOption) return fail("unknown argument " + option);
        if (option == "--exchange") {
            o.exchanges.fill(false);
            for (size_t at = 0; at <= value.size();) {
                const size_t comma = std::min(value.find(',', at), value.size());
                const auto n = WholeNumber(std::string_view(value).substr(at, comma - at), 1, 16);
                if (!n) return fail("--exchange wants numbers 1..16 separated by commas");
                o.exchanges[*n - 1] = true;
                at = comma + 1;
            }
        } else if (option == "--folder") {
            o.folder = value;
        } else if (option == "--port") {
            o.port = value;
        } else if (option == "--for") {
            const auto n = WholeNumber(value, 1, 1 << 30);
            if (!n) return fail("--for wants a number of seconds");
            o.seconds = *n;
        } else {
            return fail("unknown option " + option);
        }
    }
    return o;
}

// Today's file of the highest number in folder, so that a restarted collector goes on with it.
std::string TodaysLastFile(LogKind kind, const std::string& folder, const LocalTime& now) {
    const QDir dir(QString::fromStdString(folder.empty() ? "." : folder));
    const std::string first = DailyFileName(kind, "", now, 0);  // "HSyymmdd-00.txt"
    const QStringList names =
        dir.entryList({QString::fromStdString(first.substr(0, 9)) + QStringLiteral("??.txt")},
                      QDir::Files, QDir::Name);
    return names.isEmpty() ? std::string() : InFolder(folder, names.last().toStdString());
}

// The receiver of the records and of the requests' results.
class Collector : public QObject {
  public:
    Collector(LogKind kind, DailyFile& file, Prompt& prompt, std::ostream& out)
        : kind_(kind), file_(file), prompt_(prompt), out_(out) {}

    std::optional<uint32_t> answer;

    bool event(QEvent* event) override {
        auto* e = dynamic_cast<LinkEvent*>(event);
        if (!e || e->message() != UM_LINK_RESULT) return QObject::event(event);
        if (e->wParam != kResultReceived) {
            answer = e->wParam;
            return true;
        }
        if (kind_ == LogKind::Log && e->logLine) {
            Write(FileLine(*e->logLine), LogRowTexts(*e->logLine));
        } else if (kind_ == LogKind::Monitor && e->monitorEntry) {
            Write(FileLine(*e->monitorEntry), MonitorRowTexts(*e->monitorEntry));
        }
        return true;
    }

  private:
    template <typename Row>
    void Write(const std::string& line, const Row& texts) {
        if (auto failure = file_.Write(line)) prompt_.Tell(*failure, PromptIcon::Exclamation);
        for (size_t i = 0; i < texts.size(); ++i) out_ << (i ? "\t" : "") << texts[i];
        out_ << std::endl;  // a reader behind a pipe sees each record at once
    }

    LogKind kind_;
    DailyFile& file_;
    Prompt& prompt_;
    std::ostream& out_;
};

// Sends the request for exchanges and waits for its answer: 0 sent, 1 not delivered (also after
// 120 s without an answer), 2 the device did not open.
uint32_t Request(LinkBroker& broker, Collector& collector, LogKind kind,
                 const std::array<bool, kExchangeCount>& exchanges) {
    std::string flags;
    for (const bool e : exchanges) flags += e ? '1' : '0';
    RecordRequest record;
    record.text = flags;
    auto request = std::make_unique<TransferRequest>();
    const uint8_t mask = kind == LogKind::Log ? kUseLog : kUseMonitor;
    request->setMask = mask;
    request->clearMask = flags.find('1') == std::string::npos ? mask : 0;
    request->body = *Encode(kind == LogKind::Log ? 'O' : 'P', record);
    collector.answer.reset();
    PostLinkRequest(&broker, &collector, std::move(request));
    QElapsedTimer waited;
    waited.start();
    while (!collector.answer && waited.elapsed() < kAnswerSeconds * 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    if (!collector.answer)
        PostLinkRequest(&broker, &collector, std::make_unique<TransferRequest>(), true);
    return collector.answer.value_or(kResultNotDelivered);
}

int RunReading(LogKind kind, const char* name, const Args& args, std::ostream& out,
               std::ostream& err) {
    const auto options = Parse(args, name, err);
    if (!options) return 2;
    StreamPrompt prompt(err);
    auto failed = [&](uint32_t code) {
        prompt.Tell(code == kResultOpenFailed ? "Failed to open the device" : "Failed to transmit");
        return 1;
    };
    const PortChoice port = ChoosePort(options->port, SettingDocument().data().Maintenance);
    if (!port.devicePath.empty()) setenv("QN410_COM1", port.devicePath.c_str(), 1);
    const auto app = EnsureApplication();

    const Clock& clock = SystemClock::Instance();
    DailyFile file(kind, TodaysLastFile(kind, options->folder, clock.Now()), clock);
    if (auto failure = file.TakeStartFailure()) prompt.Tell(*failure);
    if (file.currentPath().empty()) file.SelectFolder(options->folder);
    LogHistory history;
    LinkBroker broker(history, clock, prompt);
    Collector collector(kind, file, prompt, out);
    if (kind == LogKind::Log)
        broker.dispatch().SetLogWindow(&collector);
    else
        broker.dispatch().SetMonitorWindow(&collector);
    broker.Start(port.settings);

    if (const uint32_t code = Request(broker, collector, kind, options->exchanges); code != 0) {
        broker.Stop(3000);
        return failed(code);
    }
    {
        QEventLoop loop;
        InterruptNotice interrupt;
        QObject::connect(&interrupt, &InterruptNotice::interrupted, &loop, &QEventLoop::quit);
        if (options->seconds > 0)
            QTimer::singleShot(options->seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const uint32_t code = Request(broker, collector, kind, {});
    broker.Stop(3000);
    return code == 0 ? 0 : failed(code);
}

}  // namespace

int RunLog(const Args& args, std::ostream& out, std::ostream& err) {
    return RunReading(LogKind::Log, "log", args, out, err);
}

int RunMonitor(const Args& args, std::ostream& out, std::ostream& err) {
    return RunReading(LogKind::Monitor, "monitor", args, out, err);
}

}  // namespace qn410::ctl
