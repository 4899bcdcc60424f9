// qn410ctl print: the all-categories printout of a setting file (or one category of it) as a
// PDF, drawn by the program's own layouts, without a display or a printer.
//   print FILE --pdf OUT [--exchange N] [--category NAME] [--master M]
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>

#include "ctl_command.h"
#include "ctl_files.h"
#include "print/printout.h"
#include "stream_prompt.h"

namespace qn410::ctl {

namespace {

constexpr char kPrintUsage[] =
    "Usage: qn410ctl print FILE --pdf OUT [--exchange N] [--category NAME] [--master M]\n"
    "  NAME: all, global, forwarding, masters, substations, trunks, scan, group, conference,\n"
    "        paging, pcport, pa, sources, directselect, dial (dial prints master M, default 1)\n";

struct CategoryName {
    const char* name;
    uint8_t code;
};
constexpr CategoryName kNames[] = {
    {"all", 0x00},         {"global", 0x01},       {"forwarding", 0x02}, {"masters", 0x03},
    {"substations", 0x04}, {"trunks", 0x05},       {"scan", 0x06},       {"group", 0x07},
    {"conference", 0x08},  {"paging", 0x09},       {"pcport", 0x0B},     {"pa", 0x0C},
    {"sources", 0x0D},     {"directselect", 0x10}, {"dial", 0x11},
};

struct PrintOptions {
    std::string file, pdf;
    uint8_t category = 0x00;
    int exchange = 0, master = 1;
};

std::optional<int> Whole(const std::string& text, int lo, int hi) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::optional<PrintOptions> Parse(const Args& args, std::ostream& err) {
    PrintOptions o;
    auto fail = [&](const std::string& why) {
        err << "qn410ctl: " << why << '\n' << kPrintUsage;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name.rfind("--", 0) != 0) {
            if (!o.file.empty()) return fail("one file only: " + name);
            o.file = name;
            continue;
        }
        if (i + 1 >= args.size()) return fail(name + " needs a value");
        const std::string& value = args[++i];
        std::optional<int> n;
        if (name == "--pdf" && !value.empty()) {
            o.pdf = value;
        } else if (name == "--exchange" && (n = Whole(value, 1, kExchangeCount))) {
            o.exchange = *n;
        } else if (name == "--master" && (n = Whole(value, 1, kMasterCount))) {
            o.master = *n;
        } else if (name == "--category") {
            const auto* it = std::find_if(std::begin(kNames), std::end(kNames),
                                          [&](const CategoryName& c) { return value == c.name; });
            if (it == std::end(kNames)) return fail("unknown category: " + value);
            o.category = it->code;
        } else {
            return fail("wrong option or value: " + name + " " + value);
        }
    }
    if (o.file.empty() || o.pdf.empty()) return fail("print needs FILE and --pdf OUT");
    return o;
}

// Painting needs a GUI application; without a display it runs on the offscreen platform.
std::unique_ptr<QGuiApplication> GuiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qn410ctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int RunPrint(const Args& args, std::ostream& out, std::ostream& err) {
    const auto options = Parse(args, err);
    if (!options) return 2;
    StreamPrompt prompt(err);
    SettingDocument doc;
    std::string password;
    if (!LoadSettingFile(options->file, doc, password, prompt, err)) return 1;

    const auto app = GuiApplication();
    PrintRequest request;
    request.category = options->category;
    request.exchange = static_cast<uint8_t>(options->exchange);
    if (request.category == 0x11) {
        request.exchange = static_cast<uint8_t>(std::max(options->exchange, 1));
        request.master = static_cast<uint8_t>(options->master);
    }
    request.filePath = options->file;
    request.date = PrintDate();
    request.data = std::make_shared<const SettingData>(doc.data());

    QPdfWriter writer(QString::fromLocal8Bit(options->pdf));
    writer.setTitle(QStringLiteral("Printout"));
    writer.setCreator(QStringLiteral("qn410ctl"));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    const PaintResult result = PaintPrintout(writer, request);
    if (!result.complete || result.pages == 0) {
        err << "qn410ctl: cannot write " << options->pdf << '\n';
        return 1;
    }
    out << options->pdf << ": " << result.pages << (result.pages == 1 ? " page\n" : " pages\n");
    if (result.outside > 0) {
        err << "qn410ctl: " << result.outside << " texts fall outside the printable area\n";
        return 1;
    }
    return 0;
}

const std::vector<Command>& PrintCommands() {
    static const std::vector<Command> commands = {
        {"print", "FILE --pdf OUT [--exchange N] [--category NAME] [--master M]",
         "the printout of a setting file as a PDF", RunPrint},
    };
    return commands;
}

}  // namespace qn410::ctl
