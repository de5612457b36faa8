// The controls layer: control arrays, the key filter's view of the keyboard, focus refusal, lists, menu
// ticks, the message and settings seams.

#include "FakeSeams.h"
#include "Seams.h"
#include "VbControls.h"
#include "VbError.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardPaths>
#include <QtTest>

using namespace korvane;
using namespace korvane::ui;

namespace {

// A window with two fields, a list and a menu item with a shortcut, wired like the main window.
struct Rig {
    QMainWindow window;
    ControlArray<VbTextBox> fields{"txtField"};
    ControlArray<VbComboBox> lists{"lstChoice"};
    ControlArray<VbMenuItem> items{"mnuItem"};
    std::vector<int> clicks;
    std::vector<int16_t> codes;
    std::vector<int16_t> leaves;
    int menuClicks = 0;

    Rig() {
        auto* client = new QWidget(&window);
        window.setCentralWidget(client);
        fields.Load(0, client).setGeometry(10, 10, 80, 20);
        fields.Load(2, client).setGeometry(10, 40, 80, 20);
        lists.Load(1, client).setGeometry(10, 70, 80, 20);
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Menu"));
        items.Load(1, menu, QKeySequence(Qt::CTRL | Qt::Key_D), true);
        fields.events.keyPress = [this](int16_t, int16_t& k) {
            codes.push_back(k);
            if (k == 'x')
                k = 'y';
            else if (k == 'z')
                k = 8;
            else if (k < 0x20 && k != 8)
                k = 0;
        };
        lists.events.click = [this](int16_t index) { clicks.push_back(lists(index).ListIndex()); };
        items.events.click = [this](int16_t) { ++menuClicks; };
    }
    bool ShowActive() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

class VbControlsTest : public QObject {
    Q_OBJECT

  private slots:

    void missingElementRaises340_data() {
        QTest::addColumn<int>("index");
        for (const int index : {1, 3, -1, 70000}) // a gap, beyond the last, negative, beyond 16 bits
            QTest::addRow("%d", index) << index;
    }

    void missingElementRaises340() {
        QFETCH(int, index);
        Rig rig;
        try {
            rig.fields(index);
            QFAIL("no error raised");
        } catch (const VbError& e) {
            QCOMPARE(e.Number(), 340);
            QCOMPARE(QString::fromStdString(e.Description()),
                     QStringLiteral("Control array element '%1' doesn't exist").arg(index));
        }
    }

    // The code the key filter sees for each key, -1 where the key types nothing.
    void characterCodes() {
        const int ctrl = Qt::ControlModifier;
        const struct {
            int key, modifiers;
            QString text;
            int code;
        } rows[] = {{Qt::Key_7, 0, "7", '7'},
                    {Qt::Key_Comma, 0, ",", ','},
                    {Qt::Key_Period, Qt::KeypadModifier, ".", '.'},
                    {Qt::Key_Adiaeresis, 0, QStringLiteral("ä"), 0xe4},
                    {Qt::Key_Backspace, 0, "\b", 8},
                    {Qt::Key_Return, 0, "\r", 13},
                    {Qt::Key_C, ctrl, "\x03", 3},
                    {Qt::Key_V, ctrl, "", 22},
                    {Qt::Key_At, ctrl | Qt::AltModifier, "@", '@'},
                    {Qt::Key_Tab, 0, "\t", -1},
                    {Qt::Key_Delete, 0, "\x7f", -1},
                    {Qt::Key_Left, 0, "", -1},
                    {Qt::Key_Home, 0, "", -1},
                    {Qt::Key_D, Qt::AltModifier, "d", -1},
                    {Qt::Key_F1, 0, "", -1}};
        QList<int> codes, expected;
        for (const auto& r : rows) {
            const auto typed = VbTextBox::CharacterCode(
                QKeyEvent(QEvent::KeyPress, r.key, Qt::KeyboardModifiers(r.modifiers), r.text));
            codes << (typed ? int(*typed) : -1);
            expected << r.code;
        }
        QCOMPARE(codes, expected);
    }

    void filterReplacesAndDiscards_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        const char* rows[][4] = {{"passes", "", "ab", "ab"},
                                 {"replaced", "", "axb", "ayb"},
                                 {"replaced by backspace", "", "abz", "a"},
                                 {"replaces the selection", "old", "x", "y"},
                                 {"length limit holds for replacements", "", "xxxxxxxx", "yyyyy"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
    }

    void filterReplacesAndDiscards() {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Rig rig;
        QVERIFY(rig.ShowActive());
        VbTextBox& field = rig.fields(0);
        field.setMaxLength(5);
        field.SetText(start);
        field.setFocus(Qt::TabFocusReason);
        field.selectAll();
        QTest::keyClicks(&field, typed);
        QCOMPARE(field.Text(), result);
    }

    void clipboardKeysAreDiscarded() {
        Rig rig;
        QVERIFY(rig.ShowActive());
        QApplication::clipboard()->setText(QStringLiteral("999"));
        VbTextBox& field = rig.fields(0);
        field.SetText(QStringLiteral("12"));
        field.setFocus();
        field.selectAll();
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(field.Text(), QStringLiteral("12"));
        QCOMPARE(rig.codes, (std::vector<int16_t>{22, 24, 3}));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("999"));
    }

    void refusingFieldsDoNotPingPong() {
        Rig rig;
        int refusals = 0;
        rig.fields.events.lostFocus = [&](int16_t index) {
            ++refusals;
            rig.fields(index).SetFocus();
        };
        QVERIFY(rig.ShowActive());
        rig.fields(0).setFocus();
        QTRY_VERIFY(rig.fields(0).hasFocus());
        QTest::keyClick(&rig.fields(0), Qt::Key_Tab);
        QTRY_VERIFY(rig.fields(0).hasFocus());
        // Let any further queued focus changes run; none may follow.
        QTest::qWait(50);
        QVERIFY(rig.fields(0).hasFocus());
        QCOMPARE(refusals, 1);
    }

    void menuAndOtherWindowsDoNotCountAsLeaving() {
        Rig rig;
        int leaves = 0;
        rig.fields.events.lostFocus = [&](int16_t) { ++leaves; };
        QVERIFY(rig.ShowActive());
        rig.fields(0).setFocus();
        QTRY_VERIFY(rig.fields(0).hasFocus());
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        rig.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QTRY_VERIFY(rig.fields(0).hasFocus());
        QCOMPARE(leaves, 0);
        rig.fields(2).setFocus();
        QTRY_COMPARE(leaves, 1);
    }

    // Adding selects nothing, emptying leaves -1, an index beyond the items raises 380; one click in all.
    void listEmptiesAddsWithoutSelectingAndRefusesBeyond() {
        Rig rig;
        VbComboBox& list = rig.lists(1);
        list.AddItem(QStringLiteral("a"));
        list.AddItem(QStringLiteral("b"));
        QCOMPARE(list.ListIndex(), -1);
        list.SetListIndex(1);
        list.AddItem(QStringLiteral("c"));
        QCOMPARE(list.ListIndex(), 1);
        try {
            list.SetListIndex(3);
            QFAIL("no error raised");
        } catch (const VbError& e) {
            QCOMPARE(e.Number(), 380);
        }
        list.Clear();
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(list.ListCount(), 0);
        QCOMPARE(rig.clicks, std::vector<int>{1});
    }

    void listSelectionReportsOneClickHoweverItChanges() {
        Rig rig;
        QVERIFY(rig.ShowActive());
        VbComboBox& list = rig.lists(1);
        for (const char* item : {"a", "b", "c"})
            list.AddItem(QString::fromLatin1(item));
        list.SetListIndex(0);
        list.setFocus();
        QTRY_VERIFY(list.hasFocus());
        QTest::keyClick(&list, Qt::Key_Down);
        list.SetListIndex(2);
        QCOMPARE(rig.clicks, (std::vector<int>{0, 1, 2}));
    }

    void menuTickChangesOnlyWhenTold() {
        Rig rig;
        VbMenuItem& item = rig.items(1);
        item.SetChecked(true);
        item.trigger();
        QVERIFY(item.Checked());
        QVERIFY(item.isChecked());
        item.SetChecked(false);
        item.trigger();
        QVERIFY(!item.isChecked());
        QCOMPARE(rig.menuClicks, 2);
    }

    void unhandledErrorBox() {
        test::FakeDesktop desktop;
        const bool completed =
            Trapped(desktop.seams(), nullptr, "frmMain:Somewhere", [] { Raise(6, "inner", "Overflow"); });
        QVERIFY(!completed);
        QCOMPARE(desktop.messages.shown.size(), size_t(1));
        const auto& shown = desktop.messages.shown.front();
        QCOMPARE(shown.title, QStringLiteral("frmMain:Somewhere"));
        QCOMPARE(shown.text, QStringLiteral("Unhandled Error\r\n6\r\nOverflow"));
        QCOMPARE(shown.icon, QMessageBox::Warning);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void classicFilters_data() {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("qt");
        const char* rows[][2] = {{"Geo. Dateien (*.geo)|*.geo", "Geo. Dateien (*.geo)"},
                                 {"Geo files|*.geo", "Geo files (*.geo)"},
                                 {"Sites (old)|*.geo", "Sites (old) (*.geo)"},
                                 {"Data|*.geo;*.txt|All|*.*", "Data (*.geo *.txt);;All (*.*)"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[0]) << QString(r[1]);
    }

    void classicFilters() {
        QFETCH(QString, classic);
        QFETCH(QString, qt);
        QCOMPARE(ToQtFilter(classic), qt);
    }

    void settingsFileInTheUsersConfigFolder() {
        QtSettingsStore store;
        const QString file =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Settings Test.conf";
        QFile::remove(file);
        QVERIFY(!store.GetSetting("Settings Test", "Settings", "Language").has_value());
        store.SaveSetting("Settings Test", "Settings", "Language", " 3");
        QCOMPARE(store.GetSetting("Settings Test", "Settings", "Language"), std::optional<QString>(" 3"));
        store.SaveSetting("Settings Test", "Settings", "Language", "2");
        QFile written(file);
        QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(file));
        const QString content = QString::fromUtf8(written.readAll());
        QVERIFY2(content.contains("[Settings]\nLanguage=2"), qPrintable(content));
    }
};

QTEST_MAIN(VbControlsTest)
#include "VbControls_test.moc"
