// Every field of the table through every front end, with the cases derived from the table itself: the values
// at, just inside and just beyond each bound, and texts of the field's length and one character more. The
// window's field takes a text whole or not (key filter, length, check on leaving); the room-file reader, the
// calculator's option and its batch column read it or refuse it for that field; a length limits typing only.
#include "CliRun.h"
#include "InputFields.h"
#include "RoomFile.h"
#include "WindowHarness.h"

#include <sstream>

using namespace korvane;
using namespace korvane::ui::test;

namespace {

struct Case {
    std::string text;
    bool inRange, tooLong;
};

// A whole step for the fields read as integers.
std::vector<Case> CasesOf(const inputs::FieldRule& rule) {
    const double step = rule.reading == inputs::Reading::Real ? 0.5 : 1;
    std::vector<Case> cases{{std::string(size_t(rule.maxLength), '0'), true, false},
                            {std::string(size_t(rule.maxLength) + 1, '0'), true, true},
                            {"-1", rule.minusAllowed, false}};
    for (const auto& [bound, inward] : {std::pair{rule.low, step}, std::pair{rule.high, -step}})
        for (const double offset : {0.0, inward, -inward})
            if (bound)
                cases.push_back({QString::number(*bound + offset).toStdString(), offset != -inward, false});
    return cases;
}

bool RoomFileTakes(const inputs::FieldRule& rule, const std::string& text) {
    inputs::RoomTexts texts = inputs::StartRoom();
    texts.Choice(inputs::ChoiceId::WindowType) = std::max<int>(1, rule.windowType);
    texts.Field(rule.id) = text;
    try {
        room::ReadRoom(room::WriteRoom(room::RoomOf(texts)));
        return true;
    } catch (const room::RoomFileError&) {
        return false;
    }
}

} // namespace

class FieldWalkTest : public QObject {
    Q_OBJECT

  private slots:
    void everyFrontEndKeepsTheTablesBoundsAndLengths() {
        Window w(std::nullopt, QString(), nullptr, ".");
        w.List(0)->SetListIndex(0); // the user-defined site and glazing unlock their fields
        w.List(2)->SetListIndex(0);
        QStringList got, expected;
        for (const inputs::FieldRule& rule : inputs::FieldRules()) {
            const std::vector<Case> cases = CasesOf(rule);
            const std::string option = rule.option, type = std::to_string(std::max<int>(1, rule.windowType));
            const std::string refusal =
                option + ": "; // a refusal of the field, not of the working hours' order
            std::string csv = "window-type," + option + "\n";
            for (const Case& c : cases)
                csv += type + "," + c.text + "\n";
            std::istringstream batch(csv);
            std::ostringstream rows, rowErrors;
            cli::RunCli({"--batch", "-"}, {KORVANE_BIN_DIR, false, false, &batch}, rows, rowErrors);
            std::istringstream rowLines(rows.str());
            std::string row;
            std::getline(rowLines, row); // the header
            w.Tabs()->setCurrentIndex(std::max<int>(0, rule.windowType - 1));
            ui::VbTextBox* box = w.Field(static_cast<int>(rule.id));
            for (const Case& c : cases) {
                box->setFocus(Qt::TabFocusReason);
                QTRY_VERIFY(box->hasFocus());
                box->selectAll();
                const int beeps = w.desktop.beep.count;
                QTest::keyClicks(box, QString::fromStdString(c.text));
                const QString typed = QString::fromStdString(c.text), shown = box->Text();
                QTest::keyClick(box, Qt::Key_Tab);
                const bool takes = shown == typed && w.desktop.beep.count == beeps;
                box->SetText(QStringLiteral("0")); // lets the next field take the focus
                std::ostringstream out, err;
                cli::RunCli({"--window-type", type, "--" + option, c.text}, {KORVANE_BIN_DIR}, out, err);
                std::getline(rowLines, row);
                const auto verdict = [](bool yes) { return yes ? "takes" : "refuses"; };
                got << QStringLiteral("%1 '%2': window %3, room file %4, option %5, batch %6")
                           .arg(rule.member, c.text.c_str(),
                                shown == typed.left(rule.maxLength) && shown != typed ? "cuts"
                                                                                      : verdict(takes),
                                verdict(RoomFileTakes(rule, c.text)),
                                verdict(err.str().find("--" + refusal) == std::string::npos),
                                verdict(row.find("," + refusal) == std::string::npos));
                const char* all = verdict(c.inRange);
                expected << QStringLiteral("%1 '%2': window %3, room file %4, option %4, batch %4")
                                .arg(rule.member, c.text.c_str(), c.tooLong ? "cuts" : all, all);
            }
        }
        QCOMPARE(got, expected);
        QVERIFY(w.Messages().empty());
    }
};

QTEST_MAIN(FieldWalkTest)
#include "field_walk_test.moc"
