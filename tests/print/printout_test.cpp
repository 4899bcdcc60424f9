// The printout: every label and set value in the PDF, pages 1..n, nothing outside the printable
// area; one print at a time and closing waits; the "Printout" dialog's exchange check.
#include "print/printout.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "link/link_messages.h"
#include "print/dlg_printout.h"
#include "print/print_service.h"
#include "setting/setting_file.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "ui/ansi_text.h"

using namespace qn410;

namespace {

// pdftotext guesses blanks from glyph gaps: texts are compared without any.
QString Squeezed(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

QStringList PdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
}

// Every set value of the setting categories, exchanges 1..SwitchCnt, is in text.
void CheckSetValues(const SettingData& d, const QString& text) {
    auto check = [&](const QString& value) {
        QVERIFY2(text.contains(Squeezed(value)), qPrintable(value));
    };
    auto add = [&](std::string_view value) {
        return value.empty() ? void() : check(AnsiToQString(value));
    };
    auto number = [&](const auto& n) { return n.Value != kNoNumber ? add(n.Text) : void(); };
    for (int e = 0; e < d.System.SwitchCnt; ++e) {
        number(d.System.SwNumber[e]);
        add(d.Function[e].StartTime.Text);
        add(d.Function[e].EndTime.Text);
        check(QStringLiteral("%1 min").arg(d.Exchange[e].LineCntLimit));
        for (const TrunkLineSetting& line : d.Exchange[e].Line) add(line.Name);
        for (const MasterSetting& m : d.Exchange[e].Master) {
            number(m.Number);
            for (const char* t :
                 {m.Name, m.TelNo, m.AbsenceTelNo, m.AutoAbsenceTelNo, m.CnvTelNo, m.NonRespTelNo})
                add(t);
            check(QStringLiteral("%1 s").arg(m.ScanTime));
        }
        for (const SubSetting& s : d.Exchange[e].Sub) {
            number(s.Number);
            add(s.Name);
        }
    }
}

// The view's side (the message numbers it was sent); the print dialog answers with a PDF
// printer, or cancels while path is empty.
struct RecordingView : QWidget, PrintDialogs {
    bool event(QEvent* event) override {
        if (event->type() >= QEvent::User) messages.push_back(int(event->type()));
        return QWidget::event(event);
    }
    std::unique_ptr<QPrinter> ChoosePrinter(QWidget*) override {
        ++asked;
        return path.isEmpty() ? nullptr : MakePdfPrinter(path);
    }
    std::optional<QString> ChoosePdfFile(QWidget*, const QString&) override { return path; }
    void Preview(QWidget*, std::function<void(QPrinter*)>) override {}
    std::vector<int> messages;
    QString path;
    int asked = 0;
};

}  // namespace

class PrintoutTest : public QObject {
    Q_OBJECT
  private slots:
    void everyLabelAndValueAndOnePrintAtATime() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext missing: run scripts/install-deps.sh (poppler-utils)");
        QFile labels(QFINDTESTDATA("labels.txt"));  // the page titles and every label
        QVERIFY(labels.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected = QString::fromUtf8(labels.readAll()).split('\n');
        for (uint32_t seed : {0u, 7u}) {  // the default data; 16 random exchanges
            test::TempDir dir;
            SettingDocument doc;
            if (seed) test::FillRandomFileData(doc.data(), seed);
            if (seed) doc.data().System.SwitchCnt = kExchangeCount;
            const std::string file = dir.file("qn410.txt");
            QVERIFY(WriteSettingFile(file, doc, "", *std::make_unique<SilentPrompt>()));

            // The all-categories printout through qn410ctl, without a display.
            const QString pdf = QString::fromStdString(dir.file("all.pdf"));
            QProcess ctl;
            ctl.start(QN410CTL_BINARY, {"print", QString::fromStdString(file), "--pdf", pdf});
            QVERIFY(ctl.waitForFinished(60000));
            QCOMPARE(ctl.exitCode(), 0);  // 1 when any text fell outside the printable area
            const QStringList pages = PdfPages(pdf);
            for (int i = 0; i < pages.size(); ++i)
                QCOMPARE(pages[i].trimmed().split('\n').last().trimmed(), QString::number(i + 1));
            QString text = Squeezed(pages.join(' '));
            CheckSetValues(doc.data(), text);

            // The categories only their own windows print, in-process, with a list's rows.
            PrintRequest request;
            request.data = std::make_shared<const SettingData>(doc.data());
            request.list.rows = {{"20021005123456", "01", "10/05 12:34", "1", "0", "0", "1", "OK"}};
            for (uint8_t code : {0x0B, 0x0E, 0x0F, 0x11}) {
                request.category = code;
                const QString path = pdf + QString::number(code);
                QPdfWriter writer(path);
                writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
                const PaintResult result = PaintPrintout(writer, request);
                QVERIFY(result.outside == 0 && result.complete);
                text += Squeezed(PdfPages(path).join(' '));
            }
            for (const QString& label : expected)
                QVERIFY2(text.contains(Squeezed(label)), qPrintable(label));
            if (!seed) continue;  // the default data prints too fast to be still printing

            // The program's printing thread: one print at a time, and closing waits for it.
            RecordingView view;
            const PrintJob all{kPrintAll, 0, {}};
            {
                PrintService service(&view, doc, view);
                service.Print(all);  // cancelled in the print dialog: nothing printed
                QVERIFY(!g_printing);
                view.path = pdf + "thread";
                service.Print(all);
                QVERIFY(g_printing);
                service.Print(all);  // dropped while the first prints, without asking for a printer
                QCOMPARE(view.asked, 2);
            }  // closing: the service stops the thread, which first ends the print in hand
            QVERIFY(!g_printing && !CTHPrintOut::Instance());
            QCOMPARE(PdfPages(view.path).size(), pages.size());  // complete
            QCoreApplication::processEvents();
            // Opened for the categories, advanced after each of the twelve, closed at the end.
            QCOMPARE(view.messages.front(), int(UM_PROGRESS_START));
            QCOMPARE(view.messages.back(), int(UM_PROGRESS_CLOSE));
            QCOMPARE(std::ranges::count(view.messages, UM_PROGRESS_ADVANCE), 12);
        }
    }

    void printoutDialogChecksTheExchange() {
        // "Single" ticked, the text typed, the exchange accepted (-1: refused)
        for (auto [single, typed, exchange] : {std::tuple{false, "9", 0},
                                               {true, "3", 3},
                                               {true, "4", -1},
                                               {true, "0", -1},
                                               {true, "", -1}}) {
            test::RecordingPrompt prompt;
            CDlgPrintout dialog(3, prompt);
            (single ? dialog.singleButton() : dialog.allButton())->setChecked(true);
            QCOMPARE(dialog.numberEdit()->isEnabled(), single);
            dialog.numberEdit()->setText(typed);
            dialog.accept();
            QCOMPARE(dialog.result() == QDialog::Accepted ? dialog.exchange() : -1, exchange);
            QCOMPARE(prompt.shown.size(), size_t(exchange < 0));
            for (const test::ShownMessage& m : prompt.shown)
                QVERIFY(m.text == "Incorrect exchange No." && m.icon == PromptIcon::Question);
        }
    }
};

QTEST_MAIN(PrintoutTest)
#include "printout_test.moc"
