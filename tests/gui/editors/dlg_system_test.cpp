// "Global Setting" driven through its widgets: the lists, the tie-line boxes, typing into the
// grid and the checks, with the exact messages and where the focus goes. Overwrite, Close,
// Upload and Print are the editor frame's (editor_frame_test, editor_upload_sim_test).
#include "editors/dlg_system.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "editor_test_host.h"
#include "setting/text_field.h"

using namespace qn410;
using namespace qn410::test;

namespace {

const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 5, 0});

// Exchanges with first station numbers (strings; "" leaves one unset) and the digits.
void SetExchanges(SystemSetting& s, int digits, std::vector<std::string> numbers) {
    s.NumberSize = static_cast<uint8_t>(digits);
    s.SwitchCnt = static_cast<uint8_t>(numbers.size());
    for (int i = 0; i < kExchangeCount; ++i) {
        ExchangeNumberEntry& e = s.SwNumber[i];
        e.ExchangeNo = static_cast<uint8_t>(i + 1);
        const std::string text = i < static_cast<int>(numbers.size()) ? numbers[i] : "";
        e.Value = text.empty() ? kNoNumber : std::stoi(text);
        SetText(e.Text, text.empty() ? "-1" : text);
    }
}

struct Editor {
    EditorTestHost host;
    std::unique_ptr<CDlgSystem> dialog;
    explicit Editor(int digits = 3, std::vector<std::string> numbers = {"100", "200", "300"}) {
        SetDefaults(host.document.data());
        SetExchanges(host.document.data().System, digits, std::move(numbers));
        Open();
    }
    void Open() {
        dialog = std::make_unique<CDlgSystem>(host, kClock);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    GridCtrl* grid() const { return dialog->grid(); }
    const SystemSetting& stored() { return host.document.data().System; }
    std::vector<std::string> Cells() const {
        std::vector<std::string> out;
        for (int r = 0; r < grid()->RowCount(); ++r) out.push_back(grid()->ItemText(r, 1));
        return out;
    }
    void Overwrite() { dialog->OverwriteButton()->click(); }
    std::string LastMessage() const {
        return host.messages.shown.empty() ? "" : host.messages.shown.back().text;
    }
};

}  // namespace

class DlgSystemTest : public QObject {
    Q_OBJECT
  private slots:
    void cellEntriesStoreOnlyShortDigitTexts_data();
    void cellEntriesStoreOnlyShortDigitTexts();
    void listsAndBoxesChangeTheCopy();
    void validationReportsAndFocuses_data();
    void validationReportsAndFocuses();
};

void DlgSystemTest::cellEntriesStoreOnlyShortDigitTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "250"
                            << "250" << 250;
    QTest::newRow("leading zeros kept as typed") << "0042"
                                                 << "0042" << 42;
    QTest::newRow("six digits") << "123456"
                                << "123456" << 123456;
    QTest::newRow("seven digits") << "1234567"
                                  << "200" << 200;
    QTest::newRow("not a number") << "12a"
                                  << "200" << 200;
    QTest::newRow("blank") << ""
                           << "200" << 200;
    QTest::newRow("longer than 50") << QString(51, '1') << "200" << 200;
}

void DlgSystemTest::cellEntriesStoreOnlyShortDigitTexts() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, value);
    Editor e;
    TypeIntoCell(e.grid(), 1, 1, typed);
    QCOMPARE(e.grid()->ItemText(1, 1), shown.toStdString());
    QCOMPARE(e.dialog->workingCopy().SwNumber[1].Value, value);
    QCOMPARE(std::string(TextOf(e.dialog->workingCopy().SwNumber[1].Text)), shown.toStdString());
    QCOMPARE(e.stored().SwNumber[1].Value, 200);  // nothing committed yet
}

void DlgSystemTest::listsAndBoxesChangeTheCopy() {
    Editor e;
    QCOMPARE(e.dialog->clockField()->text(), QString("09:30:05"));  // the clock it will send
    ChooseFromList(e.dialog->digitsList(), "5");
    QCOMPARE(e.dialog->workingCopy().NumberSize, 5);
    QCOMPARE(e.Cells(), (std::vector<std::string>{"100", "200", "300"}));  // grid unchanged

    QTest::mouseClick(e.dialog->tieLineBox(2), Qt::LeftButton);
    QCOMPARE(e.dialog->workingCopy().TieLine[2], 1);
    QTest::mouseClick(e.dialog->tieLineBox(2), Qt::LeftButton);
    QCOMPARE(e.dialog->workingCopy().TieLine[2], 0);

    // Fewer exchanges forget the numbers of the ones dropped; more show them empty again.
    ChooseFromList(e.dialog->exchangeCountList(), "1");
    QCOMPARE(e.grid()->RowCount(), 1);
    QVERIFY(e.dialog->exchangeCountList()->hasFocus());
    ChooseFromList(e.dialog->exchangeCountList(), "4");
    QCOMPARE(e.Cells(), (std::vector<std::string>{"100", "", "", ""}));
    QCOMPARE(e.dialog->workingCopy().SwNumber[1].Value, kNoNumber);
    QCOMPARE(e.dialog->workingCopy().SwNumber[3].ExchangeNo, 4);
    QCOMPARE(e.grid()->ItemText(3, 0), std::string("4"));
    // Fewer exchanges differ even though only entries beyond the new count changed.
    e.host.messages.ScriptAnswers({PromptAnswer::Yes});
    ChooseFromList(e.dialog->exchangeCountList(), "3");
    e.dialog->CloseButton()->click();
    QCOMPARE(e.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
    QCOMPARE(e.stored().SwitchCnt, 3);  // Yes closes without committing
    e.Open();
    TypeIntoCell(e.grid(), 0, 1, "110");
    e.dialog->PrintButton()->click();  // the copy with its unsaved edit
    QCOMPARE(std::any_cast<SystemSetting>(e.host.prints.at(0).data).SwNumber[0].Value, 110);
}

void DlgSystemTest::validationReportsAndFocuses_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("typedDigits");  // chosen in the list after opening, "" for none
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");  // "count", "digits" or the current row as a number
    QTest::newRow("no exchanges") << 3 << QStringList{} << ""
                                  << "Incorrect No.of exchanges."
                                  << "count";
    QTest::newRow("digits out of range") << 7 << QStringList{"100"} << ""
                                         << "Incorrect station digit length."
                                         << "digits";
    QTest::newRow("too few digits") << 4 << QStringList{"1000", "2000", "300", "4000"} << ""
                                    << "First station No.is greater than that of the next exchange."
                                    << "1";
    QTest::newRow("three of four digits") << 4 << QStringList{"100", "2000"} << ""
                                          << "Incorrect first station No.digit length"
                                          << "0";
    QTest::newRow("digits changed after entry") << 3 << QStringList{"100", "200"} << "4"
                                                << "Incorrect first station No.digit length"
                                                << "0";
    QTest::newRow("not set") << 3 << QStringList{"100", "200", ""} << ""
                             << "Incorrect first station No.digit length"
                             << "2";
    QTest::newRow("descending") << 4 << QStringList{"2000", "1000"} << ""
                                << "First station No.is greater than that of the next exchange."
                                << "0";
    QTest::newRow("duplicate") << 4 << QStringList{"1000", "2000", "2000"} << ""
                               << "Duplicated first station No."
                               << "1";
}

void DlgSystemTest::validationReportsAndFocuses() {
    QFETCH(int, digits);
    QFETCH(QStringList, numbers);
    QFETCH(QString, typedDigits);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    std::vector<std::string> texts;
    for (const QString& n : numbers) texts.push_back(n.toStdString());
    Editor e(digits, texts);
    if (!typedDigits.isEmpty()) ChooseFromList(e.dialog->digitsList(), typedDigits);
    const SystemSetting before = e.stored();
    e.dialog->OverwriteButton()->setFocus();
    QTest::keyClick(e.dialog->OverwriteButton(), Qt::Key_Space);
    QCOMPARE(e.host.messages.shown.size(), std::size_t(1));
    QCOMPARE(e.LastMessage(), message.toStdString());
    QCOMPARE(e.host.messages.shown[0].icon, PromptIcon::Question);
    QCOMPARE(e.host.messages.shown[0].buttons, PromptButtons::Ok);
    if (focus == "count") {
        QVERIFY(e.dialog->exchangeCountList()->hasFocus());
    } else if (focus == "digits") {
        QVERIFY(e.dialog->digitsList()->hasFocus());
    } else {
        QVERIFY(e.grid()->hasFocus());
        QCOMPARE(e.grid()->CurrentCell(), (GridCell{focus.toInt(), 1}));
    }
    QVERIFY(e.stored() == before);
    QVERIFY(!e.host.document.modified);
    // Upload checks first, too: no question, nothing sent.
    e.dialog->UploadButton()->click();
    QCOMPARE(e.host.confirmations, 0);
    QVERIFY(e.host.bodies.empty());
}

QTEST_MAIN(DlgSystemTest)
#include "dlg_system_test.moc"
