// The "Log Data" and "Communication Monitor" windows with the link played by a recording host,
// and the view's path of a record (history, file thread) into a folder that cannot be written.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QtTest>

#include "../editors/editor_test_host.h"
#include "link/receive_dispatch.h"
#include "monitor/dlg_log_list.h"
#include "monitor/th_log_save.h"
#include "support/temp_dir.h"
#include "ui/folder_chooser.h"

using namespace qn410;
using namespace qn410::test;

namespace {

struct Chooser : FolderChooser {
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder; }
    QString folder;
};

// The main view as the windows see it: the reading messages (0x1402, 0x1403) it gets.
struct ViewStub : QObject {
    bool event(QEvent* e) override {
        readings.push_back(int(WParamOf(e)));
        return true;
    }
    std::vector<int> readings;
};

std::string LogBody(int i) {
    char body[40];
    std::snprintf(body, sizeof body, "o02120000%06dLine2 Line3 Line4 %02d", i, i % 100);
    return body;
}

struct Fixture {
    Fixture() { host.document.data().System.SwitchCnt = 3; }
    EditorTestHost host;
    LogHistory history;
    ViewStub view;
    ReadingChoices choices;
    Chooser folders;
    FixedClock clock{{2002, 3, 3, 14, 5, 9}};
    std::vector<std::string> chosen;
    LogListServices s{&host,    &history,
                      &view,    &choices,
                      &folders, &clock,
                      nullptr,  [this](LogKind, const std::string& f) { chosen.push_back(f); }};
};

}  // namespace

class TestLogWindow : public QObject {
    Q_OBJECT
  private slots:
    void selectSendsTheRequestAndReadsTheResult() {
        // rows ticked of "1" "2" "3" "ALL" "RESET"; the answer (-1 none); what follows
        const struct {
            std::vector<int> ticks;
            int answer;
            const char* flags;  // of exchanges 1..4; the rest are '0'
            int clear;
            std::vector<int> readings;
            const char *text, *message;
        } cases[] = {
            {{0, 2}, kResultDone, "1010", 0, {1}, "1 3 ", nullptr},
            {{3}, kResultDone, "1110", 0, {1}, "ALL", nullptr},
            {{0, 4}, kResultDone, "0000", 8, {0}, "", nullptr},
            {{1}, kResultNotDelivered, "0100", 0, {}, "2 ", "Failed to transmit"},
            {{1}, kResultOpenFailed, "0100", 0, {}, "2 ", "Failed to open the device"},
            {{1}, -1, "0100", 0, {}, "2 ", "Failed to transmit"},
        };
        for (const auto& c : cases) {
            Fixture f;
            f.host.answerCode = uint32_t(c.answer);
            f.host.answer = c.answer >= 0;
            CDlgLogList w(LogKind::Log, f.s);
            w.SetTimeout(3, 10);
            for (int row : c.ticks) w.destinations()->item(row)->setCheckState(Qt::Checked);
            w.selectButton()->click();
            QTRY_COMPARE(f.host.closes(), 1);
            QCoreApplication::processEvents();  // the reading message to the view
            QCOMPARE(f.host.bodies[0], "O00" + std::string(c.flags) + std::string(12, '0'));
            QCOMPARE(f.host.headers[0].setMask * 100 + f.host.headers[0].clearMask, 800 + c.clear);
            QCOMPARE(f.host.abandons.back(), c.answer < 0);  // no answer: the link is abandoned
            QCOMPARE(w.selectionText()->text(), QString::fromLatin1(c.text));
            QCOMPARE(f.view.readings, c.readings);
            QCOMPARE(f.host.messages.texts(),
                     c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        }
    }

    void rowsKeepTheLastThousandSortAndSave() {
        Fixture f;
        QTemporaryDir dir;
        f.folders.folder = dir.path();
        for (int i = 0; i < 1000; ++i) f.history.AddLog(*BuildLogLine(LogBody(i), f.clock.time));
        CDlgLogList w(LogKind::Log, f.s);
        QCOMPARE(w.list()->topLevelItemCount(), 1000);
        auto line = std::make_unique<LogLine>(*BuildLogLine(LogBody(1000), f.clock.time));
        f.history.AddLog(*line);
        LinkEvent arrived(UM_LINK_RESULT, kResultReceived, std::move(line));
        QCoreApplication::sendEvent(&w, &arrived);
        QCOMPARE(w.list()->topLevelItemCount(), 1000);
        QCOMPARE(w.list()->topLevelItem(0)->text(3), QStringLiteral("000001"));
        QCOMPARE(w.list()->topLevelItem(999)->text(3), QStringLiteral("001000"));
        w.list()->header()->sectionClicked(7);  // "Status" ascending, then descending
        QCOMPARE(w.list()->topLevelItem(0)->text(7), QStringLiteral("1234567890123456789012"));
        w.list()->header()->sectionClicked(7);
        QCOMPARE(w.list()->topLevelItem(0)->text(7), QStringLiteral("status99"));
        w.SelectFolder();  // then "Data Save" there: the history, 51 bytes a line
        QCOMPARE(f.chosen, std::vector<std::string>{dir.path().toStdString()});
        w.dataSaveButton()->click();
        std::string expected;
        for (const LogLine& l : f.history.Logs()) expected += FileLine(l);
        QCOMPARE(ReadAll(dir.filePath("HS020303140509.txt").toStdString()), expected);
    }

    void unwritableFolderSaysSoOnceAndTheHistoryKeepsAll() {
        Fixture f;
        TempDir dir;
        WriteAll(dir.file("plain"), "");  // a file where the folder should be
        ReceiveDispatch dispatch(f.history, f.clock, f.host.messages);
        CTHLogSave saver(f.host.messages, f.clock);
        saver.Start("", "");
        dispatch.SetLogSaver(saver.receiver());
        saver.SelectFolder(LogKind::Log, dir.file("plain/logs"));
        for (int i = 0; i < 50; ++i)
            dispatch.Dispatch(
                std::make_unique<TransferRequest>(TransferRequest{.body = LogBody(i)}));
        QVERIFY(saver.Stop());
        QCOMPARE(f.host.messages.texts(),
                 std::vector<std::string>{"Log Data File could not be opened"});
        QCOMPARE(f.history.Logs().size(), size_t(50));
    }
};

QTEST_MAIN(TestLogWindow)
#include "tst_log_window.moc"
