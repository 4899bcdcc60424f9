// What every editor built on the frame does as a window: it opens with the focus on its first
// input, Tab goes in reading order and out of a grid, and it opens again at the size the user
// gave it.
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include "editor_test_host.h"
#include "editors/dlg_system.h"
#include "setting/clock.h"

namespace qn410::test {

class EditorWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settings_;
    const FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 5, 0}};
    EditorTestHost host_;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

    void opensOnTheFirstInputAndTabsInReadingOrder() {
        CDlgSystem dialog(host_, clock_);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.exchangeCountList());
        const std::vector<QWidget*> expected{dialog.digitsList(),      dialog.tieLineBox(0),
                                             dialog.tieLineBox(1),     dialog.tieLineBox(2),
                                             dialog.tieLineBox(3),     dialog.grid(),
                                             dialog.PrintButton(),     dialog.UploadButton(),
                                             dialog.OverwriteButton(), dialog.CloseButton()};
        for (QWidget* next : expected) {
            // Ctrl+Tab: Tab inside the grid walks its cells first.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                            QApplication::focusWidget() == dialog.grid() ? Qt::ControlModifier
                                                                         : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void opensAgainAtTheSizeTheUserGaveIt() {
        QSize chosen;
        {
            CDlgSystem dialog(host_, clock_);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            chosen = dialog.size() + QSize(60, 120);
            const int gridHeight = dialog.grid()->height();
            dialog.windowHandle()->resize(chosen);  // as the window manager does for the user
            QTRY_COMPARE(dialog.size(), chosen);
            QVERIFY(dialog.grid()->height() >= gridHeight + 100);  // the grid takes the room
            dialog.CloseButton()->click();
        }
        CDlgSystem again(host_, clock_);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.size(), chosen);
    }
};

}  // namespace qn410::test

QTEST_MAIN(qn410::test::EditorWindowTest)
#include "editor_window_test.moc"
