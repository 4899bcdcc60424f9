// 16-exchange uploads and downloads over the simulator's pty with log records all along: all
// arrive and no time-out runs out, whether the exchange gives way on crossing bids or not.
#include <QtTest>
#include <fstream>

#include "link/link_event.h"
#include "link/trans_mng.h"
#include "setting/setting_file.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

using namespace qn410;

namespace {

// The tool's side: each acknowledged record makes room in the queue for the next.
class Tool : public QObject {
  public:
    void Send(const std::string& body) {
        auto r = std::make_unique<TransferRequest>();
        r->body = body;
        mng->Enqueue(0, std::move(r));
    }
    CTransMng* mng = nullptr;
    std::vector<std::string> chain;
    size_t next = 0;
    int sent = 0, errors = 0, settings = 0, logs = 0;

  protected:
    bool event(QEvent* e) override {
        auto* link = dynamic_cast<LinkEvent*>(e);
        if (!link) return QObject::event(e);
        if (link->message() == UM_LINK_SENT && ++sent && next < chain.size()) Send(chain[next++]);
        if (link->message() == UM_LINK_ERROR) ++errors;
        if (link->message() == UM_LINK_RECEIVED) {
            const char c = link->request->body[0];
            ++(c == 'o' || c == 'p' ? logs : settings);
        }
        return true;
    }
};

}  // namespace

class TurnTakingPtyTest : public QObject {
    Q_OBJECT

  private slots:
    void transfers_data() {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<bool>("insist");
        QTest::newRow("upload, exchange gives way") << true << false;
        QTest::newRow("upload, exchange insists") << true << true;
        QTest::newRow("download, exchange gives way") << false << false;
        QTest::newRow("download, exchange insists") << false << true;
    }
    void transfers() {
        QFETCH(bool, upload);
        QFETCH(bool, insist);
        test::TempDir dir;
        test::RecordingPrompt prompt;
        SettingDocument doc;
        for (uint32_t seed = 1; doc.data().System.SwitchCnt != 16; ++seed)
            test::FillRandomRecordable(doc.data(), seed);
        QVERIFY(WriteSettingFile(dir.file("held.txt"), doc, "", prompt));
        const QString trace = QString::fromStdString(dir.file("trace.txt"));
        test::SimProcess sim({"--rate", "20", "--trace", trace, "--insist-after",
                              insist ? "0" : "1000000", "--config",
                              QString::fromStdString(dir.file("held.txt"))});
        qputenv("QN410_COM1", sim.port().toLocal8Bit());

        Tool tool;
        CTransMng mng(&tool, MaintenanceSetting{});
        tool.mng = &mng;
        QCOMPARE(mng.Connect(1), 1);
        const std::string all(16, '1'), none(16, '0');
        tool.chain = {"P00" + all};
        const UploadPlan plan(doc.data(), 0);
        for (int s = 1; upload && s <= plan.size(); ++s)
            if (plan.step(s).letter != '\0') tool.chain.push_back(*plan.Record(s));
        if (!upload) tool.chain.push_back("Q00");
        tool.Send("O00" + all);
        tool.Send(tool.chain[tool.next++]);  // one request always waits behind the one on the line
        const int expected = upload ? 0 : ExpectedDownloadCount(doc.data(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(tool.next == tool.chain.size() &&
                                     tool.sent == static_cast<int>(tool.chain.size()) + 1 &&
                                     tool.settings == expected,
                                 90000);
        QTRY_VERIFY_WITH_TIMEOUT(tool.logs > 0, 10000);  // a new selection drops what is queued
        tool.Send("O00" + none);
        tool.Send("P00" + none);
        QTRY_COMPARE_WITH_TIMEOUT(tool.sent, static_cast<int>(tool.chain.size()) + 3, 10000);
        for (int before = -1; before != tool.logs; QTest::qWait(300)) before = tool.logs;
        mng.Stop(3000);
        QVERIFY(sim.Stop());

        std::ifstream in(trace.toStdString());
        int logsSent = 0;
        for (std::string line; std::getline(in, line);) {
            logsSent += line.find("TX frame \"o") != std::string::npos ||
                        line.find("TX frame \"p") != std::string::npos;
            for (const char* bad : {"no answer", "again", "keeps its bid", "frame(s) dropped"})
                QVERIFY2(line.find(bad) == std::string::npos, line.c_str());
        }
        QCOMPARE(tool.errors, 0);
        QVERIFY(tool.logs > 0);
        QCOMPARE(tool.logs, logsSent);
    }
};

QTEST_GUILESS_MAIN(TurnTakingPtyTest)
#include "turn_taking_pty_test.moc"
