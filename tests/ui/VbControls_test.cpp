// The controls layer: control arrays, key filter, focus refusal, lists, options, menu ticks, file filters.

#include "Seams.h"
#include "VbControls.h"
#include "VbError.h"

#include <QClipboard>
#include <QMenu>
#include <QtTest>

using namespace korvane;
using namespace korvane::ui;

namespace {

// A window with two fields, a list and three option buttons, and a menu item, wired like the main window.
struct Rig {
    QWidget window;
    QMenu menu;
    ControlArray<VbTextBox> fields{"txtField"};
    ControlArray<VbComboBox> lists{"lstChoice"};
    ControlArray<VbOptionButton> options{"optShare"};
    ControlArray<VbMenuItem> items{"mnuItem"};
    std::vector<int> clicks;
    QList<int> codes;
    int menuClicks = 0;

    Rig() {
        fields.Load(0, &window), fields.Load(2, &window), lists.Load(1, &window);
        for (const int16_t i : {30, 60, 90})
            options.Load(i / 30 - 1, &window, QStringLiteral("%1 %").arg(i), QString::number(i));
        items.Load(1, &menu, QKeySequence(), true);
        fields.events.keyPress = [this](int16_t, int16_t& k) {
            codes.push_back(k);
            k = k == 'x' ? 'y' : k == 'z' ? 8 : (k < 0x20 && k != 8) ? 0 : k;
        };
        lists.events.click = [this](int16_t index) { clicks.push_back(lists(index).ListIndex()); };
        items.events.click = [this](int16_t) { ++menuClicks; };
    }
    static bool Activate(QWidget& window) {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

template <class F> QString Raised(F body) {
    try {
        body();
    } catch (const VbError& e) {
        return QString::number(e.Number()) + ": " + QString::fromStdString(e.Description());
    }
    return {};
}

} // namespace

class VbControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(Rig::Activate(rig_.emplace().window)); }
    void cleanup() { rig_.reset(); }

    void missingElementRaises340() {
        for (const int index : {1, 3, -1, 70000}) // a gap, beyond the last, negative, beyond 16 bits
            QCOMPARE(Raised([&] { rig_->fields(index); }),
                     QStringLiteral("340: Control array element '%1' doesn't exist").arg(index));
    }

    // Only typing keys reach the filter, which types x as y, z as Backspace, Ctrl+C/V/X as nothing.
    void keyFilter() {
        const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier, pad = Qt::KeypadModifier;
        const struct {
            int key, modifiers;
            QString text;
            int code; // -1: not seen
        } rows[] = {{Qt::Key_C, ctrl, "\x03", 3},       {Qt::Key_V, ctrl, "", 22},
                    {Qt::Key_X, ctrl, "\x18", 24},      {Qt::Key_X, 0, "x", 'x'},
                    {Qt::Key_7, 0, "7", '7'},           {Qt::Key_Period, pad, ".", '.'},
                    {Qt::Key_Adiaeresis, 0, "ä", 0xe4}, {Qt::Key_Backspace, 0, "\b", 8},
                    {Qt::Key_Z, 0, "z", 'z'},           {Qt::Key_Return, 0, "\r", 13},
                    {Qt::Key_Escape, 0, "\x1b", 27},    {Qt::Key_At, ctrl | alt, "@", '@'},
                    {Qt::Key_X, 0, "x", 'x'},           {Qt::Key_X, 0, "x", 'x'},
                    {Qt::Key_D, alt, "d", -1},          {Qt::Key_Delete, 0, "\x7f", -1},
                    {Qt::Key_Left, 0, "", -1},          {Qt::Key_F1, 0, "", -1},
                    {Qt::Key_Tab, 0, "\t", -1}};
        VbTextBox& field = rig_->fields(0);
        field.setFocus();
        QTRY_VERIFY(field.hasFocus());
        QApplication::clipboard()->setText(QStringLiteral("999"));
        field.SetText(QStringLiteral("12"));
        field.SetTypedLength(4);
        field.selectAll();
        QList<int> expected;
        for (const auto& r : rows) {
            QTest::sendKeyEvent(QTest::Click, &field, Qt::Key(r.key), r.text,
                                Qt::KeyboardModifiers(r.modifiers));
            if (r.code >= 0)
                expected << r.code;
        }
        QCOMPARE(rig_->codes, expected);
        QCOMPARE(field.Text(), QStringLiteral("y7@y"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("999"));
    }

    // Both fields refuse to be left, yet the focus does not go to and fro; another window is no leaving.
    void refusingFieldKeepsTheFocus() {
        Rig& rig = *rig_;
        int refusals = 0;
        rig.fields.events.lostFocus = [&](int16_t index) {
            ++refusals;
            rig.fields(index).SetFocus();
        };
        rig.fields(0).setFocus();
        QTRY_VERIFY(rig.fields(0).hasFocus());
        QWidget other;
        QVERIFY(Rig::Activate(other) && Rig::Activate(rig.window));
        QTRY_VERIFY(rig.fields(0).hasFocus());
        QCOMPARE(refusals, 0);
        QTest::keyClick(&rig.fields(0), Qt::Key_Tab);
        QTest::qWait(50); // the focus comes back, and any further queued change would run now
        QVERIFY(rig.fields(0).hasFocus());
        QCOMPARE(refusals, 1);
    }

    // Adding selects nothing; every change of selection is one click. Tab lands on the checked option.
    void listAndOptions() {
        VbComboBox& list = rig_->lists(1);
        for (const char* item : {"a", "b", "c"})
            list.AddItem(item);
        QCOMPARE(list.ListIndex(), -1);
        list.SetListIndex(0);
        list.setFocus();
        QTRY_VERIFY(list.hasFocus());
        QTest::keyClick(&list, Qt::Key_Down);
        list.AddItem(QStringLiteral("d"));
        QCOMPARE(list.ListIndex(), 1);
        list.SetListIndex(3);
        QCOMPARE(Raised([&] { list.SetListIndex(4); }), QStringLiteral("380: Invalid property value"));
        list.Clear();
        QVERIFY(list.ListIndex() == -1 && list.ListCount() == 0);
        QCOMPARE(rig_->clicks, (std::vector<int>{0, 1, 3}));

        rig_->options(0).click();
        rig_->options(1).click();
        for (const auto& [index, option] : rig_->options.Elements())
            QCOMPARE(option->Value(), option->Tag() == "60");
        QTest::keyClick(&list, Qt::Key_Tab);
        QTRY_VERIFY(rig_->options(1).hasFocus());
    }

    void menuTickChangesOnlyWhenTold() {
        for (const bool ticked : {true, false}) {
            rig_->items(1).SetChecked(ticked);
            rig_->items(1).trigger();
            QCOMPARE(rig_->items(1).isChecked(), ticked);
        }
        QCOMPARE(rig_->menuClicks, 2);
    }

    void classicFilters() {
        const char* rows[][2] = {{"Geo. Dateien (*.geo)|*.geo", "Geo. Dateien (*.geo)"},
                                 {"Sites (old)|*.geo", "Sites (old) (*.geo)"},
                                 {"Data|*.geo;*.txt|All|*.*", "Data (*.geo *.txt);;All (*.*)"}};
        for (const auto& r : rows)
            QCOMPARE(ToQtFilter(QString::fromUtf8(r[0])), QString::fromUtf8(r[1]));
    }

  private:
    std::optional<Rig> rig_;
};

QTEST_MAIN(VbControlsTest)
#include "VbControls_test.moc"