// The main window under random use, seeded: texts typed through the key filter and pasted past it (as far
// as each field's length allows), Tab and Shift+Tab, options, list choices, tabs and languages, then
// Calculate or Print. Every run ends in a result, message 146 or 153, a red field with the engine's message,
// or an "Unhandled Error" box; no action crashes, hangs or sends the focus to and fro.

#include "FakeSeams.h"
#include "VbControls.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QTabBar>
#include <QtTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>

using namespace korvane;
using namespace korvane::ui;

namespace {

QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

const QString kAppTitle = QStringLiteral("KORVANE Energy");
const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);
constexpr int kFields[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16};
constexpr Qt::Key kLanguageKeys[] = {Qt::Key_D, Qt::Key_E, Qt::Key_F, Qt::Key_I, Qt::Key_N, Qt::Key_S};
// A refused field takes the focus back once: out, in elsewhere, out again, back in.
constexpr int kMaxFocusChangesPerAction = 8;

// Ends the process when one action takes far longer than any should, naming it: a hang is then a failure
// that says where, not a test stopped by its time limit.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                  std::lock_guard lock(mutex_);
                  if (std::chrono::steady_clock::now() - started_ > limit) {
                      std::fprintf(stderr, "hang: %s\n", action_.c_str());
                      std::abort();
                  }
              }
          }) {}
    void Start(std::string action) {
        std::lock_guard lock(mutex_);
        action_ = std::move(action);
        started_ = std::chrono::steady_clock::now();
    }

  private:
    std::mutex mutex_;
    std::string action_ = "start";
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::jthread thread_;
};

// Typed or pasted texts: mostly digits and separators, with signs, exponents, blanks and foreign marks.
QString RandomText(std::mt19937& rng, int length) {
    static const QString pool =
        QStringLiteral("0123456789012345678901234567890123456789,.,.-+eE a%\u00e4\u20ac\u066b");
    std::uniform_int_distribution<qsizetype> pick(0, pool.size() - 1);
    QString text;
    for (int i = 0; i < length; ++i)
        text += pool.at(pick(rng));
    return text;
}

// Texts that numeric conversions are known to trip over.
const QStringList kNasty{"9E999", "1e308", "-0",  "NaN",       "inf",   "1,5,5", "\u066b5", "1 000",
                         "&H10",  "1d2",   "  8", "8  ",       "+8",    "(5)",   "5-",      "1.2.3",
                         "",      "-",     ",",   "0,0000001", "99999", "-9999", "1e-9",    "24",
                         "-24,5", "100",   "101", "0",         "00000", "4,"};

// Types each character as a key press; characters beyond ASCII come as keys that type them.
void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Values a user would type into each field, so that runs reach the engine as often as they stop before it.
QStringList Sensible(int field) {
    switch (field) {
    case 0:
        return {"6", "7", "8", "0"};
    case 1:
        return {"16", "17", "20", "24"};
    case 4:
        return {"300", "500", "750"};
    case 5:
        return {"8,68", "-3,7", "13.4"};
    case 6:
        return {"50,11", "40,4", "-33.9"};
    case 7:
        return {"1", "0", "-5"};
    case 9:
        return {"80", "50", "30", "0"};
    default:
        return {"1", "2", "4", "6,5", "10", "0,5"};
    }
}

struct Window {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> form;

    explicit Window(int language) {
        desktop.settings.SetLanguage(QString::number(language));
        form = std::make_unique<frmMain>(desktop.seams());
        form->Load();
        form->show();
        form->activateWindow();
    }
    template <class T> T* Find(const QString& name) const {
        T* found = form->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbTextBox* Field(int i) const { return Find<VbTextBox>(ElementName("txtInput", i)); }
    VbComboBox* List(int i) const { return Find<VbComboBox>(ElementName("lstInput", i)); }
    QString Result() const { return Find<QLabel>(QStringLiteral("lblResult"))->text(); }
    QColor ResultColor() const { return Find<VbPictureBox>(QStringLiteral("picResult"))->BackColor(); }
    std::vector<test::ShownMessage>& Messages() { return desktop.messages.shown; }
};

bool IsUnhandledError(const test::ShownMessage& m) {
    return m.title.startsWith(QStringLiteral("frmMain:")) &&
           m.text.startsWith(QStringLiteral("Unhandled Error\r\n"));
}

// The percent of a result caption, or -1.
int Percent(const QString& caption) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})%$"));
    const auto match = form.match(caption);
    return match.hasMatch() && match.captured(1).toInt() <= 100 ? match.captured(1).toInt() : -1;
}

} // namespace

class frmMainRandomTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void randomUse_data();
    void randomUse();
};

void frmMainRandomTest::init() {
    gLanguage = 0;
}

void frmMainRandomTest::cleanup() {
    QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
}

void frmMainRandomTest::randomUse_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("actions");
    QTest::newRow("comma, seed 1") << 1u << "," << 600;
    QTest::newRow("point, seed 2") << 2u << "." << 600;
    QTest::newRow("separator unreadable, seed 3") << 3u << "" << 600;
}

void frmMainRandomTest::randomUse() {
    QFETCH(unsigned, seed);
    QFETCH(QString, separator);
    QFETCH(int, actions);
    gDecimalSeparator = separator.toStdString();
    std::mt19937 rng(seed);
    const auto chance = [&](int below) { return std::uniform_int_distribution<int>(0, 99)(rng) < below; };
    const auto any = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); };

    Window w(1 + any(6));
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    QCOMPARE(w.Result(), QStringLiteral("69%"));
    int focusChanges = 0;
    // Bound to a local object, so that a failed check leaves no connection to this frame behind.
    QObject counting;
    connect(qApp, &QApplication::focusChanged, &counting, [&] { ++focusChanges; });
    Watchdog watchdog(std::chrono::seconds(60));
    QStringList outcomes;

    for (int step = 0; step < actions; ++step) {
        std::vector<VbTextBox*> fields;
        for (const int i : kFields) {
            if (w.Field(i)->isVisible() && w.Field(i)->isEnabled())
                fields.push_back(w.Field(i));
        }
        VbTextBox* field = fields[static_cast<size_t>(any(static_cast<int>(fields.size())))];
        const size_t shownBefore = w.Messages().size();
        const QString resultBefore = w.Result();
        const QColor colorBefore = w.ResultColor();
        const int language = gLanguage;
        focusChanges = 0;

        const int kind = any(100);
        QString action;
        bool run = false;
        if (kind < 28) {
            const QStringList values = Sensible(field->Index());
            const QString text = values[any(values.size())];
            action = "type '" + text + "' into " + field->objectName();
            watchdog.Start(action.toStdString());
            QTest::mouseClick(field, Qt::LeftButton);
            field->selectAll();
            TypeText(field, text);
        } else if (kind < 36) {
            const QString text =
                chance(70) ? RandomText(rng, any(field->maxLength() + 3)) : kNasty[any(kNasty.size())];
            action = "type '" + text + "' into " + field->objectName();
            watchdog.Start(action.toStdString());
            QTest::mouseClick(field, Qt::LeftButton);
            if (chance(50))
                QTest::keyClick(field, Qt::Key_End);
            for (int i = any(3); i > 0; --i)
                QTest::keyClick(field, Qt::Key_Backspace);
            TypeText(field, text);
        } else if (kind < 44) {
            const QString text =
                chance(50) ? RandomText(rng, any(field->maxLength() + 3)) : kNasty[any(kNasty.size())];
            action = "paste '" + text + "' into " + field->objectName();
            watchdog.Start(action.toStdString());
            QApplication::clipboard()->setText(text);
            QTest::mouseClick(field, Qt::LeftButton);
            if (chance(70))
                field->selectAll();
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        } else if (kind < 50) {
            action = "click into " + field->objectName();
            watchdog.Start(action.toStdString());
            QTest::mouseClick(field, Qt::LeftButton);
        } else if (kind < 56) {
            const bool back = chance(30);
            const int count = 1 + any(4);
            action = QStringLiteral("%1 x %2").arg(back ? "Shift+Tab" : "Tab").arg(count);
            watchdog.Start(action.toStdString());
            for (int i = 0; i < count; ++i) {
                QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : w.form.get();
                QTest::keyClick(focus, back ? Qt::Key_Backtab : Qt::Key_Tab,
                                back ? Qt::ShiftModifier : Qt::NoModifier);
            }
        } else if (kind < 60) {
            QList<VbOptionButton*> options;
            for (auto* option : w.form->findChildren<VbOptionButton*>())
                if (option->isVisible())
                    options << option;
            if (options.isEmpty())
                continue;
            VbOptionButton* option = options[any(options.size())];
            action = "click " + option->objectName();
            watchdog.Start(action.toStdString());
            QTest::mouseClick(option, Qt::LeftButton);
        } else if (kind < 66) {
            static constexpr Qt::Key kMoves[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End,
                                                 Qt::Key_PageDown};
            VbComboBox* list = w.List(any(3));
            const Qt::Key move = kMoves[any(5)];
            action = QStringLiteral("key %1 in %2").arg(move).arg(list->objectName());
            watchdog.Start(action.toStdString());
            list->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(list, move);
        } else if (kind < 71) {
            QTabBar* bar = w.Find<VbTabStrip>(QStringLiteral("tabWindowTyp"))->tabBar();
            const int tab = any(3);
            action = QStringLiteral("tab %1").arg(tab + 1);
            watchdog.Start(action.toStdString());
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        } else if (kind < 75) {
            const int chosen = any(6);
            action = QStringLiteral("language %1").arg(chosen + 1);
            watchdog.Start(action.toStdString());
            QTest::keyClick(w.form.get(), kLanguageKeys[chosen], Qt::ControlModifier);
        } else {
            const bool print = kind >= 93;
            action = print ? QStringLiteral("Print") : QStringLiteral("Calculate");
            watchdog.Start(action.toStdString());
            run = true;
            QTest::mouseClick(w.Find<QPushButton>(print ? "cmdPrint" : "cmdCalculate"), Qt::LeftButton);
        }
        // Let every queued focus change land, then make sure no more are coming.
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        const int settled = focusChanges;
        QCoreApplication::processEvents();
        const QString where = QStringLiteral("step %1: %2").arg(step).arg(action);
        QVERIFY2(focusChanges == settled && focusChanges <= kMaxFocusChangesPerAction,
                 qPrintable(where + QStringLiteral(": %1 focus changes").arg(focusChanges)));
        QVERIFY2(Percent(w.Result()) >= 0, qPrintable(where + ": result " + w.Result()));
        QVERIFY2(w.ResultColor() == kGreen || w.ResultColor() == kRed, qPrintable(where));

        const std::vector<test::ShownMessage> shown(
            w.Messages().begin() + static_cast<ptrdiff_t>(shownBefore), w.Messages().end());
        if (!run) {
            for (const auto& m : shown)
                QVERIFY2(IsUnhandledError(m), qPrintable(where + ": " + m.title + " / " + m.text));
            continue;
        }
        // Print goes on after the run, and what it shows then is its own business: the first message tells
        // the run's outcome.
        if (action == QStringLiteral("Calculate"))
            QVERIFY2(shown.size() <= 1,
                     qPrintable(where + QStringLiteral(": %1 messages").arg(shown.size())));
        if (shown.empty()) {
            QVERIFY2(w.ResultColor() == kGreen, qPrintable(where));
            outcomes << QStringLiteral("result");
            continue;
        }
        const test::ShownMessage& first = shown.front();
        QVERIFY2(first.icon == QMessageBox::Warning, qPrintable(where));
        if (first.title == kAppTitle &&
            (first.text == Lang(language, 146) || first.text == Lang(language, 153))) {
            QVERIFY2(w.Result() == resultBefore && w.ResultColor() == colorBefore, qPrintable(where));
            outcomes << (first.text == Lang(language, 146) ? QStringLiteral("146") : QStringLiteral("153"));
        } else if (first.title == kAppTitle) {
            QVERIFY2(w.ResultColor() == kRed && !first.text.isEmpty(), qPrintable(where + ": " + first.text));
            outcomes << QStringLiteral("engine message");
        } else {
            QVERIFY2(IsUnhandledError(first), qPrintable(where + ": " + first.title + " / " + first.text));
            outcomes << QStringLiteral("Unhandled Error");
        }
    }
    qInfo("%s", qPrintable(QStringLiteral(
                               "runs: %1 results, %2 x 146, %3 x 153, %4 engine messages, %5 Unhandled Error")
                               .arg(outcomes.count("result"))
                               .arg(outcomes.count("146"))
                               .arg(outcomes.count("153"))
                               .arg(outcomes.count("engine message"))
                               .arg(outcomes.count("Unhandled Error"))));
    QVERIFY(w.form->close());
    QCOMPARE(w.desktop.settings.Language(), std::optional<QString>(QString::number(gLanguage)));
}

QTEST_MAIN(frmMainRandomTest)
#include "frmMain_random_test.moc"
