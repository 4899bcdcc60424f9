// 16-exchange uploads and downloads over the simulator's pty with log records all along: all
// arrive and no time-out runs out, whether the exchange gives way on crossing bids or not.
#include <QtTest>

#include "link/trans_mng.h"
#include "link_recorder.h"
#include "setting/setting_file.h"
#include "support/random_recordable.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

using namespace qn410;

class TurnTakingPtyTest : public QObject {
    Q_OBJECT

  private slots:
    void transfersWithLogRecordsAllAlong() {
        test::TempDir dir;
        SilentPrompt prompt;
        SettingDocument doc;
        for (uint32_t seed = 1; doc.data().System.SwitchCnt != 16; ++seed)
            test::FillRandomRecordable(doc.data(), seed);
        QVERIFY(WriteSettingFile(dir.file("held.txt"), doc, "", prompt));
        const UploadPlan plan(doc.data(), 0);
        for (int run = 0; run < 4; ++run) {  // upload, download; giving way, keeping the bid
            test::SimProcess sim({"--rate", "20", "--insist-after", run % 2 ? "0" : "1000000",
                                  "--config", dir.file("held.txt").c_str(), "--trace",
                                  dir.file("trace.txt").c_str()});
            qputenv("QN410_COM1", sim.port().toLocal8Bit());
            test::LinkRecorder tool;
            CTransMng mng(&tool, MaintenanceSetting{});
            QCOMPARE(mng.Connect(1), 1);
            const auto send = [&](const std::string& body) {
                mng.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
            };
            const auto logs = [&] {
                return size_t(std::ranges::count_if(tool.Of(UM_LINK_RECEIVED),
                                                    [](auto& r) { return r.body[0] == 'o'; }));
            };
            send("O00" + std::string(16, '1'));
            for (int s = 1; s <= (run < 2 ? plan.size() : 0); ++s)
                if (plan.step(s).letter != '\0') send(*plan.Record(s));  // not the closing release
            if (run >= 2) send("Q00");
            const size_t requests = run < 2 ? plan.size() : 2,
                         settings = run < 2 ? 0 : ExpectedDownloadCount(doc.data(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(tool.Count(UM_LINK_SENT) == requests && logs() > 0 &&
                                         tool.Count(UM_LINK_RECEIVED) == settings + logs(),
                                     90000);
            send("O00" + std::string(16, '0'));  // logs first: a new selection drops the queue
            QTRY_COMPARE_WITH_TIMEOUT(tool.Count(UM_LINK_SENT), requests + 1, 10000);
            for (size_t n = 0, i = 0; n != logs() && i < 30; ++i, QTest::qWait(300)) n = logs();
            QCOMPARE(tool.Count(UM_LINK_ERROR), size_t{0});
            QVERIFY(sim.Stop());
            const std::string trace = test::ReadAll(dir.file("trace.txt"));
            for (const char* bad : {"no answer", "again", "keeps its bid", "frame(s) dropped"})
                QVERIFY2(trace.find(bad) == std::string::npos, bad);
            size_t logsSent = 0;  // each log record the simulator sent reached the tool once
            for (size_t at = 0; (at = trace.find("TX frame \"o", at) + 1);) ++logsSent;
            QCOMPARE(logs(), logsSent);
        }
    }
};

QTEST_GUILESS_MAIN(TurnTakingPtyTest)
#include "turn_taking_pty_test.moc"
