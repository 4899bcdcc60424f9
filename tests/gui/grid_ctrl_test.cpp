// Drives the grid through real key and mouse events, as a user would.
#include "grid/grid_ctrl.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <vector>

#include "grid/grid_model.h"
#include "grid/title_tip.h"
#include "ui/ansi_text.h"

using qn410::GridCell;
using qn410::GridCtrl;

namespace {

struct Ended {
    int row;
    int column;
    std::string text;
};

// A dialog holding a grid of 3 rows x 4 columns (column 0 fixed), an edit box and an OK
// button that is the default button, as the editors have them.
struct Window {
    QDialog dialog;
    GridCtrl* grid = new GridCtrl(&dialog);
    QLineEdit* other = new QLineEdit(&dialog);
    QPushButton* ok = new QPushButton("Overwrite", &dialog);
    std::vector<Ended> ended;
    std::vector<GridCell> begun;
    bool acceptEdits = true;
    bool allowBegin = true;

    Window() {
        auto* layout = new QHBoxLayout(&dialog);
        layout->addWidget(grid);
        layout->addWidget(other);
        layout->addWidget(ok);
        ok->setDefault(true);
        grid->SetColumnCount(4);
        grid->SetRowCount(3);
        grid->SetFixedColumnCount(1);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                grid->SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
        QObject::connect(grid, &GridCtrl::editBegun, [this](int row, int column, bool* allow) {
            begun.push_back({row, column});
            *allow = allowBegin;
        });
        QObject::connect(grid, &GridCtrl::editEnded,
                         [this](int row, int column, const std::string& text, bool* accept) {
                             ended.push_back({row, column, text});
                             *accept = acceptEdits;
                         });
        dialog.resize(600, 300);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }

    QLineEdit* Editor() const { return grid->viewport()->findChild<QLineEdit*>(); }
    QWidget* Focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : grid;
    }
    // Types into whatever has the focus, one key at a time, as a keyboard would.
    void Type(const QString& text) {
        for (const QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
    }
    QPoint CellCentre(int row, int column) const {
        return grid->visualRect(grid->Model().index(row, column)).center();
    }
};

}  // namespace

class GridCtrlTest : public QObject {
    Q_OBJECT
  private slots:
    void ansiTextRoundTripsAndMapsKatakana();
    void modelPassesTheModelTester();
    void typingThenEnterEndsTheEdit();
    void editOutcomes_data();
    void editOutcomes();
    void readOnlyAndFixedCellsDoNotEdit();
    void togglesByClickAndSpace();
    void fixedColumnsStayWhenScrolling();
    void keyFilterSeesKeysFirst();
    void titleTipOnlyForCutOffText();
};

void GridCtrlTest::ansiTextRoundTripsAndMapsKatakana() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    QCOMPARE(qn410::QStringToAnsi(qn410::AnsiToQString(all)), all);
    QCOMPARE(qn410::AnsiToQString("A\xA1\xB1\xDF\xE9"),
             QString::fromUtf16(u"A\uFF61\uFF71\uFF9F\u00E9"));
    // U+00C0's byte is taken by katakana; Greek has no byte at all.
    QCOMPARE(qn410::QStringToAnsi(QString::fromUtf16(u"\u00C0\u03B1\uFF70~")),
             std::string("??\xB0~"));
}

void GridCtrlTest::modelPassesTheModelTester() {
    GridCtrl grid;
    QAbstractItemModelTester tester(&grid.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.SetColumnCount(24);
    grid.SetRowCount(1024);
    grid.SetFixedColumnCount(3);
    grid.SetItemText(1023, 23, "last");
    grid.SetCellBackground(5, 5, Qt::red);
    grid.SetBackground(Qt::white);
    const auto colourAt = [&](int row, int column) {
        return grid.Model().index(row, column).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    QCOMPARE(colourAt(5, 5), QColor(Qt::red));
    QCOMPARE(colourAt(5, 6), QColor(Qt::white));
    QCOMPARE(colourAt(5, 0), QApplication::palette().color(QPalette::Button));  // fixed column
    grid.SetCellBackground(5, 5, QColor());
    QCOMPARE(colourAt(5, 5), QColor(Qt::white));
    // Fewer rows, then more, keep the cells that stay; new ones and those outside are empty.
    grid.SetItemText(5, 4, "kept");
    grid.SetItemText(20, 4, "dropped");
    grid.SetRowCount(10);
    grid.SetRowCount(40);
    QCOMPARE(grid.ItemText(5, 4), std::string("kept"));
    QCOMPARE(grid.ItemText(20, 4), std::string(""));
    QCOMPARE(grid.ItemText(99, 99), std::string(""));  // outside the grid: empty, no crash
    grid.SetColumnCount(5);
    QCOMPARE(grid.RowCount(), 40);
    QCOMPARE(grid.ColumnCount(), 5);
}

void GridCtrlTest::typingThenEnterEndsTheEdit() {
    Window w;
    QSignalSpy pressed(w.ok, &QPushButton::clicked);
    w.grid->SetCurrentCell(1, 2);
    w.Type("123");
    QVERIFY(w.Editor());
    QCOMPARE(w.Editor()->text(), QString("123"));  // the first key replaced the old text
    w.Key(Qt::Key_Return);
    QTRY_COMPARE(w.ended.size(), size_t(1));
    QCOMPARE(w.ended[0].row, 1);
    QCOMPARE(w.ended[0].column, 2);
    QCOMPARE(w.ended[0].text, std::string("123"));
    QCOMPARE(w.grid->ItemText(1, 2), std::string("123"));
    QCOMPARE(w.begun.size(), size_t(1));
    QTRY_VERIFY(!w.Editor());
    // With the edit over and the grid focused, Enter and Escape still stay in the grid: the
    // dialog's default button is never pressed.
    w.Key(Qt::Key_Return);
    w.Key(Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(pressed.count(), 0);
    QVERIFY(w.dialog.isVisible());
}

// What typing into cell (1,3) leaves: the text reported to the receiver (null: no end of edit)
// and the cell's text.
void GridCtrlTest::editOutcomes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<bool>("redraw");  // the receiver redraws the cell from its record
    QTest::addColumn<QString>("ended");
    QTest::addColumn<QString>("cell");
    QTest::newRow("escape cancels")
        << "99" << int(Qt::Key_Escape) << true << 0 << false << QString() << "1,3";
    QTest::newRow("rejected keeps the old text")
        << "12a" << int(Qt::Key_Return) << false << 0 << false << "12a"
        << "1,3";
    QTest::newRow("receiver redraw decides")
        << "5" << int(Qt::Key_Return) << true << 0 << true << "5"
        << "005";
    QTest::newRow("max length limits typing")
        << "12345" << int(Qt::Key_Return) << true << 3 << false << "123"
        << "123";
}

void GridCtrlTest::editOutcomes() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(bool, accept);
    QFETCH(int, maxLength);
    QFETCH(bool, redraw);
    QFETCH(QString, ended);
    QFETCH(QString, cell);
    Window w;
    w.acceptEdits = accept;
    if (maxLength) w.grid->SetColumnMaxLength(3, maxLength);
    if (redraw)
        QObject::connect(w.grid, &GridCtrl::editEnded,
                         [&](int row, int column, const std::string& text, bool*) {
                             w.grid->SetItemText(row, column, "00" + text);
                         });
    w.grid->SetCurrentCell(1, 3);
    w.Type(typed);
    QVERIFY(w.Editor());
    w.Key(Qt::Key(key));
    QCoreApplication::processEvents();
    if (ended.isNull()) {
        QTRY_VERIFY(!w.Editor());
        QVERIFY(w.ended.empty());
    } else {
        QTRY_COMPARE(w.ended.size(), size_t(1));
        QCOMPARE(w.ended[0].text, ended.toStdString());
    }
    QCOMPARE(w.grid->ItemText(1, 3), cell.toStdString());
    QVERIFY(w.dialog.isVisible());
}

void GridCtrlTest::readOnlyAndFixedCellsDoNotEdit() {
    Window w;
    w.grid->SetReadOnly(1, 2, true);
    w.grid->SetCurrentCell(1, 2);
    w.Type("2");  // no editor, and no jump to the row whose text starts with "2"
    QCOMPARE(w.grid->CurrentCell(), (GridCell{1, 2}));
    QTest::mouseDClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 2));
    w.Key(Qt::Key_F2);
    QVERIFY(!w.Editor());
    QVERIFY(w.begun.empty());
    QCOMPARE(w.grid->ItemText(1, 2), std::string("1,2"));

    // The fixed column can't be made current, neither by the program nor by the keyboard.
    w.grid->SetCurrentCell(0, 0);
    QCOMPARE(w.grid->CurrentCell(), (GridCell{0, 1}));
    w.Key(Qt::Key_Left);
    w.Key(Qt::Key_Home);
    QCOMPARE(w.grid->CurrentCell().column, 1);
    QVERIFY(w.grid->IsReadOnly(0, 0));

    // The begin-edit receiver can keep the editor closed.
    w.allowBegin = false;
    w.grid->SetCurrentCell(2, 1);
    w.Type("8");
    QVERIFY(!w.Editor());
    QCOMPARE(w.begun.back(), (GridCell{2, 1}));
    QCOMPARE(w.grid->ItemText(2, 1), std::string("2,1"));
}

void GridCtrlTest::togglesByClickAndSpace() {
    Window w;
    w.grid->SetToggleColumn(2, "*", "");
    w.grid->SetItemText(1, 2, "");
    w.grid->SetCurrentCell(1, 2);
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 2));
    QCOMPARE(w.grid->ItemText(1, 2), std::string("*"));
    QCOMPARE(w.ended.size(), size_t(1));
    QCOMPARE(w.ended[0].text, std::string("*"));
    QCOMPARE(w.grid->CurrentCell(), (GridCell{1, 2}));
    QVERIFY(!w.Editor());  // no line editor opens on a toggle cell

    w.Key(Qt::Key_Space);
    QCOMPARE(w.grid->ItemText(1, 2), std::string(""));

    // A double click reaches the grid as a click and a double-click event: the cell flips
    // there and back, as two clicks would.
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 2));
    QTest::mouseDClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 2));
    QCOMPARE(w.grid->ItemText(1, 2), std::string(""));
    QCOMPARE(w.ended.size(), size_t(4));

    // Read-only toggle cells stay as they are.
    w.grid->SetReadOnly(2, 2, true);
    w.grid->SetItemText(2, 2, "*");
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(2, 2));
    w.Key(Qt::Key_Space);
    QCOMPARE(w.grid->ItemText(2, 2), std::string("*"));

    // The receiver can refuse a toggle (a cell showing "x" that must not change) at either end.
    w.grid->SetItemText(0, 2, "x");
    w.acceptEdits = false;
    w.grid->SetCurrentCell(0, 2);
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.CellCentre(0, 2));
    QCOMPARE(w.ended.back().text, std::string("*"));
    QCOMPARE(w.grid->ItemText(0, 2), std::string("x"));
    w.allowBegin = false;
    w.acceptEdits = true;
    const size_t ended = w.ended.size();
    w.Key(Qt::Key_Space);
    QCOMPARE(w.ended.size(), ended);
    QCOMPARE(w.grid->ItemText(0, 2), std::string("x"));
}

void GridCtrlTest::fixedColumnsStayWhenScrolling() {
    GridCtrl grid;
    grid.SetColumnCount(24);
    grid.SetRowCount(1024);
    grid.SetFixedColumnCount(2);
    for (int c = 0; c < 24; ++c) grid.SetColumnWidth(c, 80);
    grid.SetColumnWidth(0, 0);  // a hidden running-number column, as the editors use
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QTableView& fixed = grid.FixedView();
    QVERIFY(fixed.isVisible());
    QCOMPARE(fixed.width(), 80);
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    QVERIFY(grid.horizontalScrollBar()->value() > 0);
    // The scrolling part moved left; the fixed view still shows column 1 at the left edge.
    QVERIFY(grid.visualRect(grid.Model().index(0, 1)).right() < 0);
    QCOMPARE(fixed.x(), grid.frameWidth());
    QCOMPARE(fixed.indexAt(QPoint(5, 5)).column(), 1);
    QCOMPARE(fixed.horizontalHeader()->height(), grid.horizontalHeader()->height());

    // Vertical scrolling moves both parts together.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QCOMPARE(fixed.verticalScrollBar()->value(), grid.verticalScrollBar()->value());

    // A cell brought back into view is not left under the fixed columns.
    grid.SetCurrentCell(1023, 2);
    QVERIFY(grid.visualRect(grid.Model().index(1023, 2)).left() >= 80);
}

void GridCtrlTest::keyFilterSeesKeysFirst() {
    Window w;
    int seen = 0;
    w.grid->SetKeyFilter([&](QKeyEvent& e) {
        if (e.key() == Qt::Key_S && e.modifiers() == Qt::ControlModifier) {
            ++seen;
            return true;
        }
        return false;
    });
    w.grid->SetCurrentCell(0, 1);
    w.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen, 1);
    w.Type("1");
    QVERIFY(w.Editor());
    w.Key(Qt::Key_S, Qt::ControlModifier);  // now inside the line editor
    QCOMPARE(seen, 2);
    QCOMPARE(w.Editor()->text(), QString("1"));

    // The filter comes before the line editor's own Enter handling.
    w.grid->SetKeyFilter([](QKeyEvent& e) { return e.key() == Qt::Key_Return; });
    w.Key(Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(w.Editor());
    QVERIFY(w.ended.empty());
    w.Key(Qt::Key_Enter);
    QTRY_COMPARE(w.ended.size(), size_t(1));
}

void GridCtrlTest::titleTipOnlyForCutOffText() {
    Window w;
    w.grid->SetColumnWidth(1, 40);
    w.grid->SetItemText(0, 1, "A rather long name that cannot fit");
    w.grid->SetItemText(1, 1, "1");
    const QModelIndex longCell = w.grid->Model().index(0, 1);
    QVERIFY(qn410::TitleTip::IsCutOff(*w.grid, longCell));
    QVERIFY(!qn410::TitleTip::IsCutOff(*w.grid, w.grid->Model().index(1, 1)));

    const QPoint at = w.CellCentre(0, 1);
    QHelpEvent help(QEvent::ToolTip, at, w.grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(w.grid->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QString("A rather long name that cannot fit"));
}

QTEST_MAIN(GridCtrlTest)
#include "grid_ctrl_test.moc"
