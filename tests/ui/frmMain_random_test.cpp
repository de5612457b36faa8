// The main window under seeded random use: typing, pasting, Tab, options, lists, tabs, languages, Calculate
// and Print. Every run ends in a result, message 146 or 153, a red field with the engine's message, or an
// "Unhandled Error" box; no action crashes, hangs (Qt Test's watchdog) or sends the focus to and fro.

#include "WindowHarness.h"

#include <QClipboard>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <random>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

constexpr int kActions = 600;
constexpr int kFields[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16};
// A refused field takes the focus back once: out, in elsewhere, out again, back in.
constexpr int kMaxFocusChangesPerAction = 8;
// Random texts: mostly digits and separators, with signs, exponents, blanks and foreign marks.
const QString kPool = QStringLiteral("0123456789012345678901234567890123456789,.,.-+eE a%\u00e4\u20ac\u066b");
// Texts that numeric conversions are known to trip over.
const QStringList kNasty{"9E999", "1e308", "-0",  "NaN",       "inf",   "1,5,5", "\u066b5", "1 000",
                         "&H10",  "1d2",   "  8", "8  ",       "+8",    "(5)",   "5-",      "1.2.3",
                         "",      "-",     ",",   "0,0000001", "99999", "-9999", "1e-9",    "24",
                         "-24,5", "100",   "101", "0",         "00000", "4,"};
// Values a user would type into each field, so that runs reach the engine as often as they stop before it.
const std::map<int, QStringList> kSensible{
    {0, {"6", "7", "8", "0"}},       {1, {"16", "17", "20", "24"}},
    {4, {"300", "500", "750"}},      {5, {"8,68", "-3,7", "13.4"}},
    {6, {"50,11", "40,4", "-33.9"}}, {7, {"1", "0", "-5"}},
    {9, {"80", "50", "30", "0"}},    {-1, {"1", "2", "4", "6,5", "10", "0,5"}}};

bool IsUnhandledError(const ShownMessage& m) {
    return m.title.startsWith("frmMain:") && m.text.startsWith("Unhandled Error\r\n");
}

} // namespace

class frmMainRandomTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void randomUse_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<QString>("separator");
        QTest::newRow("comma, seed 1") << 1u << ",";
        QTest::newRow("point, seed 2") << 2u << ".";
        QTest::newRow("separator unreadable, seed 3") << 3u << "";
    }

    void randomUse() {
        QFETCH(unsigned, seed);
        QFETCH(QString, separator);
        std::mt19937 rng(seed);
        const auto chance = [&](int below) { return std::uniform_int_distribution<int>(0, 99)(rng) < below; };
        const auto any = [&](qsizetype count) {
            return std::uniform_int_distribution<int>(0, int(count) - 1)(rng);
        };
        // Random characters, up to a little more than the field takes, or else a nasty text.
        const auto randomText = [&](const VbTextBox* field, int percent) {
            QString text = chance(percent) ? QString() : kNasty[any(kNasty.size())];
            for (int n = text.isNull() ? any(field->maxLength() + 3) : 0; n > 0; --n)
                text += kPool.at(any(kPool.size()));
            return text;
        };
        // Each character as a key press; characters beyond ASCII come as keys that type them.
        const auto type = [](QWidget* widget, const QString& text) {
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, widget,
                                    c.unicode() < 0x80 ? QTest::asciiToKey(c.toLatin1()) : Qt::Key_unknown,
                                    QString(c), Qt::NoModifier);
        };

        Window w(QString::number(1 + any(6)), QString(), nullptr, separator.toStdString());
        QCOMPARE(w.Result(), QStringLiteral("69%"));
        int focusChanges = 0;
        // Bound to a local object, so that a failed check leaves no connection to this frame behind.
        QObject counting;
        connect(qApp, &QApplication::focusChanged, &counting, [&] { ++focusChanges; });
        QString action;

        for (int step = 0; step < kActions; ++step) {
            QList<VbTextBox*> fields;
            for (const int i : kFields)
                if (w.Field(i)->isVisible() && w.Field(i)->isEnabled())
                    fields << w.Field(i);
            VbTextBox* field = fields[any(fields.size())];
            const qsizetype shownBefore = qsizetype(w.Messages().size());
            const QString resultBefore = w.Result();
            const QColor colorBefore = w.ResultColor();
            const int language = gLanguage;
            focusChanges = 0;

            const int kind = any(94);
            if (kind < 36) {
                const bool sensible = kind < 28;
                const QStringList& values =
                    kSensible.count(field->Index()) ? kSensible.at(field->Index()) : kSensible.at(-1);
                const QString text = sensible ? values[any(values.size())] : randomText(field, 70);
                action = "type '" + text + "' into " + field->objectName();
                QTest::mouseClick(field, Qt::LeftButton);
                if (sensible)
                    field->selectAll();
                else if (chance(50))
                    QTest::keyClick(field, Qt::Key_End);
                for (int i = sensible ? 0 : any(3); i > 0; --i)
                    QTest::keyClick(field, Qt::Key_Backspace);
                type(field, text);
            } else if (kind < 44) {
                const QString text = randomText(field, 50);
                action = "paste '" + text + "' into " + field->objectName();
                QApplication::clipboard()->setText(text);
                QTest::mouseClick(field, Qt::LeftButton);
                if (chance(70))
                    field->selectAll();
                QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            } else if (kind < 50) {
                const bool back = chance(30);
                const int count = 1 + any(4);
                action = QStringLiteral("%1 x %2").arg(back ? "Shift+Tab" : "Tab").arg(count);
                for (int i = 0; i < count; ++i)
                    QTest::keyClick(
                        QApplication::focusWidget() ? QApplication::focusWidget() : w.window.get(),
                        back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            } else if (kind < 54) {
                QList<VbOptionButton*> options = w.window->findChildren<VbOptionButton*>();
                options.removeIf([](const VbOptionButton* option) { return !option->isVisible(); });
                if (options.isEmpty())
                    continue;
                VbOptionButton* option = options[any(options.size())];
                action = "click " + option->objectName();
                QTest::mouseClick(option, Qt::LeftButton);
            } else if (kind < 60) {
                const Qt::Key moves[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End,
                                         Qt::Key_PageDown};
                VbComboBox* list = w.List(any(3));
                const Qt::Key move = moves[any(5)];
                action = QStringLiteral("key %1 in %2").arg(move).arg(list->objectName());
                list->setFocus(Qt::MouseFocusReason);
                QTest::keyClick(list, move);
            } else if (kind < 65) {
                const int tab = 1 + any(3);
                action = QStringLiteral("tab %1").arg(tab);
                w.ClickTab(tab);
            } else if (kind < 69) {
                const int chosen = any(6);
                action = QStringLiteral("language %1").arg(chosen + 1);
                w.Key(kLanguageKeys[chosen]);
            } else {
                action = kind >= 87 ? "Print" : "Calculate";
                w.Click(kind >= 87 ? "cmdPrint" : "cmdCalculate");
            }
            // Let every queued focus change land, then make sure no more are coming.
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            const int settled = focusChanges;
            QCoreApplication::processEvents();
            const QString where = QStringLiteral("step %1: %2: %3 focus changes, result %4, messages: %5")
                                      .arg(QString::number(step), action, QString::number(focusChanges),
                                           w.Result(), w.Shown().mid(shownBefore).join(" / "));
            QVERIFY2(focusChanges == settled && focusChanges <= kMaxFocusChangesPerAction, qPrintable(where));
            QVERIFY2(QRegularExpression("^(100|[1-9]?\\d)%$").match(w.Result()).hasMatch() &&
                         (w.ResultColor() == kGreen || w.ResultColor() == kRed),
                     qPrintable(where));
            const QList<ShownMessage> shown(w.Messages().begin() + shownBefore, w.Messages().end());
            if (kind < 69) {
                QVERIFY2(std::all_of(shown.begin(), shown.end(), IsUnhandledError), qPrintable(where));
                continue;
            }
            // Print goes on after the run, and what it shows then is its own business: the first message
            // tells the run's outcome.
            QVERIFY2(kind >= 87 || shown.size() <= 1, qPrintable(where));
            const ShownMessage first = shown.value(0);
            const bool refused = first.title == kAppTitle &&
                                 (first.text == Lang(language, 146) || first.text == Lang(language, 153));
            const bool fine = shown.empty() ? w.ResultColor() == kGreen
                              : refused     ? w.Result() == resultBefore && w.ResultColor() == colorBefore
                              : first.title == kAppTitle ? w.ResultColor() == kRed && !first.text.isEmpty()
                                                         : IsUnhandledError(first);
            QVERIFY2(fine && (shown.empty() || first.icon == QMessageBox::Warning), qPrintable(where));
        }
        QVERIFY(w.window->close());
    }
};

QTEST_MAIN(frmMainRandomTest)
#include "frmMain_random_test.moc"
