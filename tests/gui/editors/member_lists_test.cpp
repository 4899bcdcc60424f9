// Scan Monitor, Group Call and Emergency Conference: one suite over the three kinds, each check
// with its message and the exchange, master and place it leads to; entries, "Delete ALL",
// print, and the upload of each kind to qn410-sim over a pseudo-terminal.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "editors/dlg_member_list.h"
#include "editors/step_edit.h"
#include "sim_link_fixture.h"
#include "station_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {
const MemberListKind* const kKinds[] = {&kScanMonitorList, &kGroupCallList, &kConferenceList};
using Change = std::function<void(SettingData&)>;

// Member `row` of the list of master e-m becomes exchange x, equipment n.
Change Put(int kind, int e, int m, int row, int x, int n, Change also = nullptr) {
    return [=](SettingData& d) {
        kKinds[kind]->entries(M(d, e, m))[row] = {uint8_t(row + 1), uint8_t(x), uint8_t(n)};
        if (also) also(d);
    };
}

struct Dialog : EditorHostOrSim {
    std::unique_ptr<CDlgMemberList> dlg;
    Dialog(int kind, const Change& change, bool sim = false) : EditorHostOrSim(sim) {
        ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        if (sim) link->Start();
        dlg = std::make_unique<CDlgMemberList>(*kKinds[kind], host);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
    }
};

struct FailureCase {
    const char* name;
    int kind;
    Change change;
    const char* message;
    int exchange, master, row;  // row -1: the monitoring time
};
const char kBadSub[] = "Invalid sub-equipment No.is set.";
const char kBadMaster[] = "Invalid master equipment No.is set.";
const std::vector<FailureCase> kFailures = {
    {"time 0", 0, [](SettingData& d) { M(d, 3, 2).ScanTime = 0; }, "Incorrect monitoring time", 3,
     2, -1},
    {"substation 65", 0, Put(0, 2, 1, 0, 1, 65), kBadSub, 2, 1, 0},
    {"exchange 0", 0, Put(0, 1, 3, 5, 0, 5), kBadSub, 1, 3, 5},
    {"scan twice", 0, Put(0, 1, 4, 3, 2, 7, Put(0, 1, 4, 0, 2, 7)),
     "Exchange1\nMaster Station No.4\nDuplicated exchange-equipment No.(2-7)", 1, 4, 3},
    {"group owner", 1, Put(1, 1, 2, 0, 1, 2), kBadMaster, 1, 2, 0},
    {"master without number", 1,
     Put(1, 3, 1, 14, 2, 3, [](SettingData& d) { NoNumber(M(d, 2, 3).Number); }), kBadMaster, 3, 1,
     14},
    {"conference beyond the exchanges", 2, Put(2, 3, 3, 2, 4, 1), kBadMaster, 3, 3, 2},
    {"conference twice", 2, Put(2, 1, 1, 2, 2, 2, Put(2, 1, 1, 1, 2, 2)),
     "Exchange1\nMaster Station (Telephone) No.1\nDuplicated exchange-equipment No.(2-2)", 1, 1, 2},
};
}  // namespace

class MemberListsTest : public QObject {
    Q_OBJECT
  private slots:
    void checksReportAndTakeTheUserThere_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < kFailures.size(); ++i)
            QTest::newRow(kFailures[i].name) << int(i);
    }
    void checksReportAndTakeTheUserThere() {
        QFETCH(int, index);
        const FailureCase& c = kFailures[std::size_t(index)];
        Dialog d(c.kind, c.change);
        ChooseFromList(d.dlg->exchangeList(), "2");  // start elsewhere
        ChooseFromList(d.dlg->masterList(), "4");
        const SettingData before = d.host.document.data();
        QTest::mouseClick(d.dlg->OverwriteButton(), Qt::LeftButton);
        QCOMPARE(d.host.messages.texts(), std::vector<std::string>{c.message});
        QCOMPARE(d.host.messages.shown[0].icon, PromptIcon::Question);
        QCOMPARE(d.dlg->exchangeList()->currentText(), QString::number(c.exchange));
        QCOMPARE(d.dlg->masterList()->currentText(), QString::number(c.master));
        if (c.row < 0) {
            QVERIFY(d.dlg->timeBox()->hasFocus());
            QCOMPARE(d.dlg->timeBox()->findChild<QLineEdit*>()->selectedText(), QString("0"));
        } else {
            QVERIFY(d.dlg->grid()->hasFocus());
            QCOMPARE(d.dlg->grid()->CurrentCell(), (GridCell{c.row, 1}));
        }
        QVERIFY(d.host.document.data() == before && !d.host.document.modified);
        d.dlg->UploadButton()->click();
        QCOMPARE(d.host.confirmations, 0);
    }

    void entriesDeleteUploadAndPrint_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");  // a valid member's line, then one beyond the kind's
        QTest::addColumn<int>("beyond");
        QTest::newRow("scan") << 0 << 12 << 65;
        QTest::newRow("group") << 1 << 3 << 5;
        QTest::newRow("conference") << 2 << 4 << 5;
    }
    void entriesDeleteUploadAndPrint() {
        QFETCH(int, kind);
        QFETCH(int, line);
        QFETCH(int, beyond);
        const MemberListKind& k = *kKinds[kind];
        Dialog d(kind, Put(kind, 2, 2, 1, 3, 1), /*sim=*/true);
        GridCtrl* grid = d.dlg->grid();
        ChooseFromList(d.dlg->exchangeList(), "2");
        ChooseFromList(d.dlg->masterList(), "2");
        QCOMPARE(grid->ItemText(1, 3) + "/" + std::to_string(grid->RowCount()),
                 (k.substations ? "301/" : "491/") + std::to_string(k.capacity));
        TypeIntoCell(grid, 0, 1, "4");  // beyond the exchanges: refused
        TypeIntoCell(grid, 0, 1, "3");
        TypeIntoCell(grid, 0, 2, QString::number(beyond));
        QCOMPARE(grid->ItemText(0, 2), std::string());
        TypeIntoCell(grid, 0, 2, QString::number(line));
        const std::string number = std::to_string((k.substations ? 300 : 490) + line);
        QCOMPARE(grid->ItemText(0, 3) + grid->ItemText(0, 4), number + number);
        if (StepEdit* time = d.dlg->timeBox()) {  // an emptied box shows the stored time again
            time->setFocus();
            time->setText("");
            grid->setFocus();
            time->stepBy(200);
            QCOMPARE(time->text(), QString("99"));
        }

        d.host.messages.answers = {PromptAnswer::Yes};
        d.dlg->deleteAllButton()->click();
        QCOMPARE(d.host.messages.shown.at(0).text, "Will delete all list data. OK?");
        QCOMPARE(grid->ItemText(1, 1) + grid->ItemText(0, 3), std::string());  // emptied
        TypeIntoCell(grid, 2, 1, "1");
        TypeIntoCell(grid, 2, 2, QString::number(line));

        d.dlg->UploadButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!d.dlg->UploadActive(), 20000);
        QCOMPARE(d.host.messages.shown.size(), 1u);  // the question only
        QCOMPARE(d.host.letters(),
                 (std::vector<char>{k.letter, k.letter, k.letter, k.letter, '-'}));
        SettingDocument held;  // what the exchanges hold now
        d.link->StopAndRead(held);
        const StationEntry member = k.entries(M(held.data(), 2, 2))[0];  // the record packs them
        QVERIFY(member.ExchangeNo == 1 && member.StationNo == line);
        for (uint8_t m = 1; m <= 4; ++m)
            QCOMPARE(
                d.host.bodies[m - 1u],
                *Encode(k.letter, {.exchange = 2, .station = m, .data = &d.host.document.data()}));
        QVERIFY(d.host.headers[3].setMask == 2 && d.host.headers[4].clearMask == 2);
        QCOMPARE(d.host.progress.front().count, 5);
        d.dlg->PrintButton()->click();
        QVERIFY(d.host.prints.back().category == k.print && d.host.prints.back().exchange == 2);
    }
};

QTEST_MAIN(MemberListsTest)
#include "member_lists_test.moc"
