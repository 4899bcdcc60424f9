// The printing thread and the "Printout" dialog: one print at a time, progress to the view,
// stopping waits for the print in hand; the dialog's exchange check.
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QtTest>

#include "link/link_messages.h"
#include "print/dlg_printout.h"
#include "print/print_dialogs.h"
#include "print/th_print_out.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

using namespace qn410;

namespace {
// The view's side: the message numbers it was sent, in order.
class RecordingView : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() >= QEvent::User) messages.push_back(static_cast<int>(event->type()));
        return true;
    }
    std::vector<int> messages;
};
}  // namespace

class PrintThreadTest : public QObject {
    Q_OBJECT
  private slots:
    void oneAtATimeAndStopWaits() {
        test::TempDir dir;
        auto data = std::make_shared<SettingData>();
        test::FillRandomFileData(*data, 3);
        data->System.SwitchCnt = kExchangeCount;
        RecordingView view;
        const QString first = QString::fromStdString(dir.file("first.pdf"));
        {
            CTHPrintOut thread(&view);
            thread.Start();
            QCOMPARE(CTHPrintOut::Instance(), &thread);
            auto request = std::make_unique<PrintRequest>();
            request->data = data;
            QVERIFY(thread.Post(std::move(request), MakePdfPrinter(first)));
            // A second request while the first prints is dropped with its printer.
            auto second = std::make_unique<PrintRequest>();
            second->data = data;
            const QString dropped = QString::fromStdString(dir.file("second.pdf"));
            QVERIFY(!thread.Post(std::move(second), MakePdfPrinter(dropped)));
            QVERIFY(thread.Stop());  // waits for the first print to end
            QVERIFY(!QFile::exists(dropped));
        }
        QVERIFY(!g_printing);
        QFile pdf(first);
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
