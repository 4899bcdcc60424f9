// "Dialing Assignment" driven through its widgets: every cell rule, the check that Overwrite
// makes of all tables (with where it takes the user), and a download fed block by block.
#include "editors/dlg_direct_dial.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

#include "editor_test_host.h"
#include "setting/text_field.h"

using namespace qn410;
using namespace qn410::test;

namespace {

class DialHost : public EditorTestHost {
  public:
    bool ConfirmReceive() override { return confirm; }
    void SetDialTransferWindow(QObject* window) override { registered = window; }
    QObject* registered = nullptr;
};

// Exchange 1, master 1: switch 3 dials 300, switch 10 has switch 12 as its door-lock switch;
// master 1 of exchange 1 has number 201, named FRONT.
struct Editor {
    DialHost host;
    std::unique_ptr<CDlgDirectDial> dialog;
    Editor() {
        SettingData& d = host.document.data();
        SetDefaults(d);
        d.System.NumberSize = 3;
        d.Exchange[0].Master[0].Number.Value = 201;
        SetText(d.Exchange[0].Master[0].Name, "FRONT");
        SetText(d.Dial[0][0][2].Dial, "300");
        SetText(d.Dial[0][0][9].Shot, "12");
        dialog = std::make_unique<CDlgDirectDial>(host);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    std::string Cell(int row, int column) const { return dialog->grid()->ItemText(row, column); }
};

}  // namespace

class DirectDialTest : public QObject {
    Q_OBJECT
  private slots:
    void cellRules_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("checkRow");
        QTest::addColumn<int>("checkColumn");
        QTest::addColumn<QString>("shown");
        QTest::newRow("every dial character")
            << 0 << 1 << "0189aAcC*#- " << 0 << 1 << "0189aAcC*#- ";
        QTest::newRow("17 characters refused") << 2 << 1 << "12345678901234567" << 2 << 1 << "300";
        QTest::newRow("other letter refused") << 2 << 1 << "12b" << 2 << 1 << "300";
        QTest::newRow("a master's number shows its name") << 1 << 1 << "201" << 1 << 2 << "FRONT";
        QTest::newRow("marked switch takes no dial") << 11 << 1 << "77" << 11 << 1 << "x";
        QTest::newRow("lock marks the switch") << 0 << 3 << "5" << 4 << 1 << "x";
        QTest::newRow("lock marks both columns") << 0 << 3 << "0005" << 4 << 3 << "x";
        QTest::newRow("lock 0 refused") << 0 << 3 << "0" << 0 << 3 << "";
        QTest::newRow("lock 1025 refused") << 0 << 3 << "1025" << 0 << 3 << "";
        QTest::newRow("lock with a letter refused") << 0 << 3 << "1a" << 0 << 3 << "";
        QTest::newRow("lock on a dialling switch refused") << 0 << 3 << "3" << 0 << 3 << "";
        QTest::newRow("emptied lock frees its switch") << 9 << 3 << "" << 11 << 1 << "";
        QTest::newRow("new lock moves the mark") << 9 << 3 << "13" << 11 << 3 << "";
    }
    void cellRules() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(int, checkRow);
        QFETCH(int, checkColumn);
        QFETCH(QString, shown);
        Editor editor;
        TypeIntoCell(editor.dialog->grid(), row, column, typed);
        QCOMPARE(QString::fromStdString(editor.Cell(checkRow, checkColumn)), shown);
    }

    // Overwrite checks every table: the text accepted while editing may still be refused, and
    // the user is taken to the exchange, master and row concerned.
    void overwrite_data() {
        QTest::addColumn<int>("master");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("c") << 2 << 6 << "12c"
                           << "Exchange1\nMaster Station No.2\nIncorrect dial number";
        QTest::newRow("space") << 1 << 0 << "1 2"
                               << "Exchange1\nMaster Station No.1\nIncorrect dial number";
        QTest::newRow("good") << 3 << 7 << "*12#-A"
                              << "";
    }
    void overwrite() {
        QFETCH(int, master);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Editor editor;
        ChooseFromList(editor.dialog->masterList(), QString::number(master));
        TypeIntoCell(editor.dialog->grid(), row, 1, typed);
        ChooseFromList(editor.dialog->masterList(), "4");
        editor.dialog->OverwriteButton()->click();
        if (message.isEmpty()) {
            QVERIFY(editor.host.messages.shown.empty());
            QVERIFY(editor.host.document.modified);
            QCOMPARE(TextOf(editor.host.document.data().Dial[0][master - 1][row].Dial),
                     typed.toStdString());
            return;
        }
        QCOMPARE(QString::fromStdString(editor.host.messages.texts().back()), message);
        QCOMPARE(editor.dialog->masterList()->currentText(), QString::number(master));
        QCOMPARE(editor.dialog->grid()->CurrentCell(), (GridCell{row, 1}));
        QVERIFY(!editor.host.document.modified);
    }

    // T goes out; the exchange's blocks replace the table, door lock
    // time included; the link is released and the grid shows what arrived.
    void downloadReplacesTheTable() {
        Editor editor;
        editor.dialog->downloadButton()->click();
        QCOMPARE(editor.host.letters(), std::vector<char>{'T'});
        QCOMPARE(editor.host.registered, editor.dialog.get());
        DialTable sent{};  // 26 entries: 3 blocks
        for (int i = 0; i < 25; ++i) SetText(sent[i * 2].Dial, std::to_string(201 + i));
        SetText(sent[0].Shot, "2");
        SetText(sent[1].Dial, "x");
        SetText(sent[1].Shot, "x");
        const std::vector<DialEntry> table = BuildSendTable(sent);
        QTRY_COMPARE(editor.dialog->transfer().expected(), 103);
        for (int b = 1; b <= 3; ++b) {
            auto item = std::make_unique<TransferRequest>();
            item->body = *EncodeDialBlock(1, 1, 6, table, b);
            QCoreApplication::postEvent(
                editor.dialog.get(),
                new LinkEvent(UM_LINK_RESULT, kResultReceived, std::move(item)));
        }
        QTRY_COMPARE(editor.dialog->transfer().outcome(), TransferOutcome::Downloaded);
        QCOMPARE(editor.host.letters(), (std::vector<char>{'T', '-'}));
        QCOMPARE(editor.host.registered, nullptr);
        QCOMPARE(editor.Cell(2, 1), std::string("202"));  // not the 300 it held before
        QCOMPARE(editor.Cell(9, 3), std::string());
        QCOMPARE(editor.Cell(1, 3), std::string("x"));
        if (const QString shot = qEnvironmentVariable("QN410_SCREENSHOT"); !shot.isEmpty())
            editor.dialog->grab().save(shot);
        QCOMPARE(editor.dialog->doorLockList()->currentText(), QString("6"));
        QVERIFY(editor.host.document.modified);
    }
};

QTEST_MAIN(DirectDialTest)
#include "dlg_direct_dial_test.moc"
