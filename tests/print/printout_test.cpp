// The printout: every label and set value in the PDF, pages 1..n, nothing outside the printable
// area; one print at a time and closing waits; the "Printout" dialog's exchange check.
#include "print/printout.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "print/dlg_printout.h"
#include "print/print_service.h"
#include "setting/setting_file.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "ui/ansi_text.h"

using namespace qn410;

// pdftotext guesses blanks from glyph gaps: texts are compared without any.
QString Squeezed(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

QStringList PdfPages(const QString& path) {
    QProcess::execute("pdftotext", {"-layout", path, path + ".txt"});
    const QString text = QString::fromStdString(test::ReadAll((path + ".txt").toStdString()));
    return text.split('\f', Qt::SkipEmptyParts);
}

// Every set value of the setting categories, exchanges 1..SwitchCnt, is in text.
void CheckSetValues(const SettingData& d, const QString& text) {
    auto check = [&](const std::string& value) {
        if (!value.empty() && value != "-1")
            QVERIFY2(text.contains(Squeezed(AnsiToQString(value))), value.c_str());
    };
    for (int e = 0; e < d.System.SwitchCnt; ++e) {
        const ExchangeSetting& x = d.Exchange[e];
        for (const char* t :
             {d.System.SwNumber[e].Text, d.Function[e].StartTime.Text, d.Function[e].EndTime.Text})
            check(t);
        check(std::to_string(x.LineCntLimit) + " min");
        for (const TrunkLineSetting& line : x.Line) check(line.Name);
        for (const MasterSetting& m : x.Master) {
            for (const char* t : {m.Number.Text, m.Name, m.TelNo, m.AbsenceTelNo,
                                  m.AutoAbsenceTelNo, m.CnvTelNo, m.NonRespTelNo})
                check(t);
            check(std::to_string(m.ScanTime) + " s");
        }
        for (const SubSetting& s : x.Sub)
            for (const char* t : {s.Number.Text, s.Name}) check(t);
    }
}

// The view: the messages it gets; its print dialog gives a PDF printer, or none without a path.
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

class PrintoutTest : public QObject {
    Q_OBJECT
  private slots:
    void everyLabelAndValueAndOnePrintAtATime() {
        const std::string labels = test::ReadAll(QFINDTESTDATA("labels.txt").toStdString());
        for (uint32_t seed : {0u, 7u}) {  // the default data; 16 random exchanges, lists full
            test::TempDir dir;
            SettingDocument doc;
            if (seed) {
                test::FillRandomFileData(doc.data(), seed);
                doc.data().System.SwitchCnt = kExchangeCount;
                for (ExchangeSetting& exchange : doc.data().Exchange) {
                    exchange.ZoneSize = 2;
                    for (MasterSetting& m : exchange.Master) {
                        m.ScanCnt = kScanCount;
                        m.GroupCnt = kGroupCount;
                        m.MeetCnt = kMeetCount;
                    }
                }
            }
            const QString file = QString::fromStdString(dir.file("qn410.txt")), pdf = file + ".pdf";
            SilentPrompt silent;
            QVERIFY(WriteSettingFile(file.toStdString(), doc, "", silent));

            // The all-categories printout through qn410ctl, without a display (exit code 1 when
            // any text fell outside the printable area).
            QCOMPARE(QProcess::execute(QN410CTL_BINARY, {"print", file, "--pdf", pdf}), 0);
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
                const PaintResult result = PaintPrintout(*MakePdfPrinter(path), request);
                QVERIFY(result.outside == 0 && result.complete);
                text += Squeezed(PdfPages(path).join(' '));
            }
            for (const QString& label : QString::fromStdString(labels).split('\n'))
                QVERIFY2(text.contains(Squeezed(label)), qPrintable(label));
            if (!seed) continue;  // the default data prints too fast to be still printing

            // The program's printing thread: one print at a time, and closing waits for it.
            const PrintJob all{kPrintAll, 0, {}};
            RecordingView view;
            auto service = std::make_unique<PrintService>(&view, doc, view);
            service->Print(all);  // cancelled in the print dialog: nothing printed
            QVERIFY(!g_printing);
            view.path = pdf + "thread";
            QElapsedTimer wall;
            wall.start();
            const std::clock_t cpu = std::clock();
            service->Print(all);
            QVERIFY(g_printing);
            service->Print(all);  // dropped while the first prints, without asking for a printer
            QCOMPARE(view.asked, 2);
            service.reset();  // stops the thread, which first ends the print in hand
            qInfo("all categories of 16 full exchanges into a PDF: %lld pages, %.2f s (CPU %.2f s)",
                  pages.size(), wall.elapsed() / 1e3, double(std::clock() - cpu) / CLOCKS_PER_SEC);
            QVERIFY(!g_printing && !CTHPrintOut::Instance());
            QVERIFY(test::ReadAll(view.path.toStdString()).ends_with("%%EOF\n"));  // complete
            QCoreApplication::processEvents();
            // Advanced after each of the twelve categories, closed at the end.
            QCOMPARE(std::ranges::count(view.messages, UM_PROGRESS_ADVANCE), 12);
            QCOMPARE(view.messages.back(), int(UM_PROGRESS_CLOSE));
        }
    }

    // The "Printout" dialog over three exchanges: "Single" takes 1..3 only.
    void printoutDialogTakesExchangesInUse() {
        test::RecordingPrompt prompt;
        CDlgPrintout dialog(3, prompt);
        dialog.accept();  // "All", the number not in use
        QVERIFY(!dialog.numberEdit()->isEnabled() && dialog.result() == QDialog::Accepted);
        dialog.singleButton()->setChecked(true);
        for (const char* typed : {"4", "0", "", "3"}) {
            dialog.numberEdit()->setText(typed);
            dialog.accept();
        }
        QCOMPARE(prompt.texts(), std::vector<std::string>(3, "Incorrect exchange No."));
        QCOMPARE(dialog.exchange(), 3);
    }
};

QTEST_MAIN(PrintoutTest)
#include "printout_test.moc"
