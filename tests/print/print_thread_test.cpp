// Printing from the program: one print at a time, progress to the view, closing waits for
// the print in hand; the "Printout" dialog's exchange check.
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QtTest>

#include "link/link_messages.h"
#include "print/dlg_printout.h"
#include "print/print_dialogs.h"
#include "print/print_service.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

using namespace qn410;

namespace {
// The view's side: the message numbers it was sent, in order.
class RecordingView : public QWidget {
  public:
    bool event(QEvent* event) override {
        if (event->type() >= QEvent::User) messages.push_back(static_cast<int>(event->type()));
        return QWidget::event(event);
    }
    std::vector<int> messages;
};

// The print dialog answers with a PDF printer (or cancels when path is empty).
class FakeDialogs : public PrintDialogs {
  public:
    std::unique_ptr<QPrinter> ChoosePrinter(QWidget*) override {
        ++asked;
        return path.isEmpty() ? nullptr : MakePdfPrinter(path);
    }
    std::optional<QString> ChoosePdfFile(QWidget*, const QString&) override { return path; }
    void Preview(QWidget*, std::function<void(QPrinter*)>) override {}
    QString path;
    int asked = 0;
};
}  // namespace

class PrintThreadTest : public QObject {
    Q_OBJECT
  private slots:
    void oneAtATimeAndClosingWaits() {
        test::TempDir dir;
        SettingDocument doc;
        test::FillRandomFileData(doc.data(), 3);
        doc.data().System.SwitchCnt = kExchangeCount;
        RecordingView view;
        FakeDialogs dialogs;
        const PrintJob all{kPrintAll, 0, {}};
        {
            PrintService service(&view, doc, dialogs);
            QVERIFY(CTHPrintOut::Instance());
            service.Print(all);  // cancelled in the print dialog: nothing printed
            QVERIFY(!g_printing);
            dialogs.path = QString::fromStdString(dir.file("all.pdf"));
            service.Print(all);
            QVERIFY(g_printing);
            // A second request while the first prints is dropped, without asking for a printer.
            service.Print(all);
            QCOMPARE(dialogs.asked, 2);
        }  // closing: the service stops the thread, which first ends the print in hand
        QVERIFY(!g_printing && !CTHPrintOut::Instance());
        QFile pdf(dialogs.path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().trimmed().endsWith("%%EOF"));
        QCoreApplication::processEvents();
        // Opened for the categories, advanced after each of the twelve, closed at the end.
        QCOMPARE(view.messages.front(), int(UM_PROGRESS_START));
        QCOMPARE(view.messages.back(), int(UM_PROGRESS_CLOSE));
        QCOMPARE(std::count(view.messages.begin(), view.messages.end(), UM_PROGRESS_ADVANCE), 12);
    }

    void printoutDialogChecksTheExchange_data() {
        QTest::addColumn<bool>("single");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("exchange");  // -1: refused
        QTest::newRow("all") << false << "9" << 0;
        QTest::newRow("single in range") << true << "3" << 3;
        QTest::newRow("above SwitchCnt") << true << "4" << -1;
        QTest::newRow("zero") << true << "0" << -1;
        QTest::newRow("empty") << true << "" << -1;
    }
    void printoutDialogChecksTheExchange() {
        QFETCH(bool, single);
        QFETCH(QString, typed);
        QFETCH(int, exchange);
        test::RecordingPrompt prompt;
        CDlgPrintout dialog(3, prompt);
        QVERIFY(!dialog.numberEdit()->isEnabled());
        (single ? dialog.singleButton() : dialog.allButton())->setChecked(true);
        QCOMPARE(dialog.numberEdit()->isEnabled(), single);
        dialog.numberEdit()->setText(typed);
        dialog.accept();
        QCOMPARE(dialog.result() == QDialog::Accepted, exchange >= 0);
        if (exchange >= 0) {
            QCOMPARE(dialog.exchange(), exchange);
            QVERIFY(prompt.shown.empty());
        } else {
            QCOMPARE(prompt.texts(), std::vector<std::string>{"Incorrect exchange No."});
            QCOMPARE(prompt.shown[0].icon, PromptIcon::Question);
        }
    }
};

QTEST_MAIN(PrintThreadTest)
#include "print_thread_test.moc"
