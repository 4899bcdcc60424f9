// The checks of "Stations" with every message and the page, exchange and cell they lead to, and
// the upload sequences with their progress bounds and modes.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "station_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

class StationChecksTest : public QObject {
    Q_OBJECT
  private slots:
    void validationReportsAndTakesTheUserThere_data();
    void validationReportsAndTakesTheUserThere();
    void validTargetsAndBlocksPass();
    void uploadSequences_data();
    void uploadSequences();
};

namespace {
struct FailureCase {
    const char* name;
    std::function<void(SettingData&)> change;
    bool all;  // "ALL" chosen before Overwrite
    const char* message;
    int page;
    int selector;
    int row;
    int column;
};

const std::vector<FailureCase>& FailureCases() {
    static const std::vector<FailureCase> cases = {
        {"master digits", [](SettingData& d) { Number(M(d, 2, 3).Number, M(d, 2, 3).Name, 2934); },
         false,
         "Master Stations (Telephones)\nIncorrect station No.digit length(2934)for Exchange 2", 0,
         1, 2, 3},
        {"master value too large", [](SettingData& d) { M(d, 1, 1).Number.Value = 1191; }, false,
         "Master Stations (Telephones)\nIncorrect station No.digit length(191)for Exchange 1", 0, 0,
         0, 3},
        {"master twice", [](SettingData& d) { Number(M(d, 3, 1).Number, M(d, 3, 1).Name, 191); },
         false,
         "Master Stations (Telephones)\nDuplicated station No.(191) for Exchange 1\n"
         "( Master Stations (Telephones) : 3-1 )",
         0, 0, 0, 3},
        {"master and substation",
         [](SettingData& d) {
             Number(M(d, 1, 2).Number, M(d, 1, 2).Name, 250);
             Number(S(d, 2, 50).Number, S(d, 2, 50).Name, 250);
         },
         false,
         "Master Stations (Telephones)\nDuplicated station No.(250) for Exchange 1\n"
         "( Substations : 2-50 )",
         0, 0, 1, 3},
        {"master access digit", [](SettingData& d) { Access(d, 2, 2, 2); }, false,
         "Master Stations (Telephones)\nSpecific No. for making a call is used", 0, 1, 0, 3},
        {"C/O forwarding", [](SettingData& d) { SetText(M(d, 2, 4).TelNo, "12a"); }, false,
         "Incorrect Auto C/O Xfer sta", 0, 1, 3, 7},
        {"call forwarding", [](SettingData& d) { SetText(M(d, 1, 1).AbsenceTelNo, "999"); }, false,
         "Incorrect absence transfer", 0, 0, 0, 8},
        {"time-based forwarding", [](SettingData& d) { SetText(M(d, 3, 2).AutoAbsenceTelNo, "0"); },
         false, "Incorrect Auto absence transfer at preset times", 0, 2, 1, 9},
        {"busy forwarding to a substation",
         [](SettingData& d) { SetText(M(d, 1, 3).CnvTelNo, "101"); }, false,
         "Incorrect Call Transfer during Conversation", 0, 0, 2, 10},
        {"no-answer forwarding", [](SettingData& d) { SetText(M(d, 2, 1).NonRespTelNo, "1a"); },
         false, "Incorrect Nonresponse Transfer", 0, 1, 0, 11},
        {"forwarding one field at a time",
         [](SettingData& d) {
             SetText(M(d, 3, 4).AbsenceTelNo, "9");
             SetText(M(d, 1, 1).NonRespTelNo, "9");
         },
         false, "Incorrect absence transfer", 0, 2, 3, 8},
        {"substation digits",
         [](SettingData& d) { Number(S(d, 3, 5).Number, S(d, 3, 5).Name, 30); }, false,
         "Substations\nIncorrect station No.digit length(30)for Exchange 3", 1, 2, 4, 3},
        {"substation below its block",
         [](SettingData& d) { Number(S(d, 2, 1).Number, S(d, 2, 1).Name, 150); }, false,
         "Substations\nStation No.(150)for Exchange 2 exceeds station No.limits.", 1, 1, 0, 3},
        {"substation at the next block",
         [](SettingData& d) { Number(S(d, 1, 64).Number, S(d, 1, 64).Name, 200); }, false,
         "Substations\nStation No.(200)for Exchange 1 exceeds station No.limits.", 1, 0, 63, 3},
        {"substation twice",
         [](SettingData& d) { Number(S(d, 2, 10).Number, S(d, 2, 10).Name, 201); }, false,
         "Substations\nDuplicated station No.(201) for Exchange 2\n( Substations : 2-10 )", 1, 1, 0,
         3},
        {"substation access digit", [](SettingData& d) { Access(d, 3, 2, 3); }, false,
         "Substations\nSpecific No. for making a call is used", 1, 2, 0, 3},
        {"call target beyond the exchanges", [](SettingData& d) { S(d, 2, 7).CallSwNo = 5; }, false,
         "Substations\nDialing incorrect exchange-equipment No.(2-7)", 1, 1, 6, 5},
        {"call target without a number",
         [](SettingData& d) {
             NoNumber(M(d, 2, 4).Number);
             S(d, 1, 3).CallSwNo = 2;
             S(d, 1, 3).CallStNo = 4;
         },
         false, "Substations\nDialing incorrect exchange-equipment No.(1-3)", 1, 0, 2, 5},
        {"under ALL the selector stays",
         [](SettingData& d) { Number(S(d, 2, 10).Number, S(d, 2, 10).Name, 201); }, true,
         "Substations\nDuplicated station No.(201) for Exchange 2\n( Substations : 2-10 )", 1, 3,
         64, 3},
        {"under ALL on masters", [](SettingData& d) { SetText(M(d, 3, 2).TelNo, "#"); }, true,
         "Incorrect Auto C/O Xfer sta", 0, 3, 9, 7},
    };
    return cases;
}
}  // namespace

void StationChecksTest::validationReportsAndTakesTheUserThere_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < FailureCases().size(); ++i)
        QTest::newRow(FailureCases()[i].name) << static_cast<int>(i);
}

void StationChecksTest::validationReportsAndTakesTheUserThere() {
    QFETCH(int, index);
    const FailureCase& c = FailureCases()[static_cast<std::size_t>(index)];
    Sheet s(c.change);
    // Start elsewhere: on the other page, on another exchange.
    if (c.all) {
        ChooseFromList(s.sheet->exchangeList(), "ALL");
        if (c.page == 0)
            s.ShowSubs();
        else
            s.ShowMasters();
    } else {
        if (c.page == 0) s.ShowSubs();
        ChooseFromList(s.sheet->exchangeList(), c.selector == 2 ? "2" : "3");
    }
    const SettingData before = s.stored();
    s.sheet->OverwriteButton()->setFocus();
    QTest::keyClick(s.sheet->OverwriteButton(), Qt::Key_Return);
    QCOMPARE(s.host.messages.texts(), std::vector<std::string>{c.message});
    QCOMPARE(s.host.messages.shown[0].icon, PromptIcon::Question);
    QCOMPARE(s.sheet->tabs()->currentIndex(), c.page);
    QCOMPARE(s.sheet->exchangeList()->currentIndex(), c.selector);
    GridCtrl* grid = c.page == 0 ? s.masters() : s.subs();
    QVERIFY(grid->hasFocus());
    QCOMPARE(grid->CurrentCell(), (GridCell{c.row, c.column}));
    QVERIFY(s.stored() == before);
    QVERIFY(!s.host.document.modified);
    s.sheet->UploadButton()->click();
    QCOMPARE(s.host.confirmations, 0);
    QVERIFY(s.host.bodies.empty());
}

void StationChecksTest::validTargetsAndBlocksPass() {
    Sheet s([](SettingData& d) {
        Access(d, 1, 1, 0);
        Access(d, 2, 2, 8);
        SetText(M(d, 1, 1).AbsenceTelNo, "0");        // the access number of its own exchange
        SetText(M(d, 1, 2).AutoAbsenceTelNo, "494");  // a master of another exchange
        SetText(M(d, 2, 1).CnvTelNo, "8");
        SetText(M(d, 2, 2).TelNo, "0-12-345");
        Number(S(d, 3, 1).Number, S(d, 3, 1).Name, 999);  // the last block has no upper limit
        Number(S(d, 2, 1).Number, S(d, 2, 1).Name, 299);
        S(d, 2, 1).Level = 1;
        NoNumber(S(d, 1, 9).Number);  // a substation without a number calls nobody
        S(d, 1, 9).CallSwNo = 0;
    });
    s.sheet->OverwriteButton()->click();
    QVERIFY2(s.host.messages.shown.empty(),
             s.host.messages.shown.empty() ? "" : s.host.messages.shown[0].text.c_str());

    // A one-digit target is only an access number of the master's own exchange.
    Sheet other([](SettingData& d) {
        Access(d, 2, 1, 0);
        SetText(M(d, 1, 1).AbsenceTelNo, "0");
    });
    other.sheet->OverwriteButton()->click();
    QCOMPARE(other.host.messages.texts(), std::vector<std::string>{"Incorrect absence transfer"});
}

void StationChecksTest::uploadSequences_data() {
    QTest::addColumn<bool>("subs");
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QString>("letters");  // B, U, C, '-' for the release
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("titled");  // messages that set the display's title (mode 2)
    QTest::newRow("masters of one exchange") << false << "2"
                                             << "BBBBUUUU-" << 7 << 4;
    QTest::newRow("masters of all")
        << false << "ALL" << QString(12, 'B') + QString(12, 'U') + "-" << 23 << 23;
    QTest::newRow("substations of one exchange")
        << true << "3" << QString(64, 'C') + "-" << 64 << 0;
    QTest::newRow("substations of all") << true << "ALL" << QString(192, 'C') + "-" << 192 << 0;
}

void StationChecksTest::uploadSequences() {
    QFETCH(bool, subs);
    QFETCH(QString, exchange);
    QFETCH(QString, letters);
    QFETCH(int, bound);
    QFETCH(int, titled);
    Sheet s;
    if (subs) s.ShowSubs();
    ChooseFromList(s.sheet->exchangeList(), exchange);
    TypeIntoCell(subs ? s.subs() : s.masters(), 0, 4, "NEW");
    s.sheet->UploadButton()->click();
    QCOMPARE(s.host.confirmations, 1);
    QVERIFY(s.host.document.modified);  // committed before sending
    QTRY_VERIFY(!s.sheet->UploadActive());

    const std::vector<char> sent = s.host.letters();
    QCOMPARE(QString::fromLatin1(sent.data(), static_cast<int>(sent.size())), letters);
    const int count = letters.size();
    // The first record is the first station of the first exchange listed, as the codec has it.
    RecordRequest first;
    first.exchange = static_cast<uint8_t>(exchange == "ALL" ? 1 : exchange.toInt());
    (subs ? first.substation : first.station) = 1;
    first.data = &s.host.document.data();
    QCOMPARE(s.host.bodies[0], *Encode(subs ? 'C' : 'B', first));
    for (std::size_t i = 0; i + 1 < s.host.headers.size(); ++i) {
        const TransferRequest& h = s.host.headers[i];
        QVERIFY(h.setMask == 2 && h.clearMask == 0);
        QCOMPARE(h.requester, static_cast<void*>(s.sheet.get()));
    }
    const TransferRequest& release = s.host.headers.back();
    QCOMPARE(int(release.setMask), 0);
    QCOMPARE(int(release.clearMask), 2);
    QVERIFY(s.host.bodies.back().empty());

    // The first message opens the display with the bound; mode-2 messages set its title.
    QCOMPARE(s.host.progress.front().message, UM_PROGRESS_START);
    QCOMPARE(s.host.progress.front().name,
             std::string(subs ? "Substations" : "Master Stations (Telephones)"));
    QCOMPARE(s.host.progress.front().count, bound);
    int steps = 0;
    for (const auto& p : s.host.progress) steps += p.message == UM_PROGRESS_STEP;
    QCOMPARE(steps, titled);
    QCOMPARE(s.host.advanced, count);  // every result advances the display
    QCOMPARE(s.host.progress.back().message, UM_PROGRESS_CLOSE);
}

QTEST_MAIN(StationChecksTest)
#include "station_checks_test.moc"
