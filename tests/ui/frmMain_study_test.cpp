// Room files, the monthly overview and the report as a user reaches them from the menus; selecting a field's
// text on a click and after an incomplete input.

#include "RoomFile.h"
#include "StudyReport.h"
#include "StudyTexts.h"
#include "WindowHarness.h"

#include <QFile>
#include <QMenu>
#include <QPageLayout>
#include <QTableWidget>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

QString Study(int language, const char* id) {
    return QString::fromUtf8(FindStudyText(language, id).value_or("?").data());
}

// Everything the window shows that a room file holds, and the result.
QStringList Snapshot(const Window& s) {
    QStringList shown{s.window->windowTitle(), s.Result(), s.ResultColor().name()};
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16})
        shown << s.Field(i)->Text() + (s.Field(i)->isEnabled() ? "" : " (locked)");
    for (int i : {0, 1, 2})
        shown << s.List(i)->currentText();
    shown << QString::number(s.Tabs()->SelectedItem());
    for (const char* option : {"optWindowArray(0)", "optWindowArray(1)", "optWindowArray(2)",
                               "optWindowSlope(0)", "optWindowSlope(2)"})
        shown << QString::number(s.Find<QRadioButton>(option)->isChecked());
    return shown;
}

} // namespace

class frmMainStudyTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    // A room typed, saved, and opened in a window started afresh shows the same fields and result.
    void roomFileRoundTrip_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<bool>("typedSiteAndGlazing");
        QTest::newRow("facade, German, typed site") << 1 << 1 << "," << true;
        QTest::newRow("facade, English, listed site") << 1 << 2 << "." << false;
        QTest::newRow("flat roof, French") << 2 << 3 << "," << false;
        QTest::newRow("flat roof, Italian, typed site") << 2 << 4 << "." << true;
        QTest::newRow("sawtooth, Dutch") << 3 << 5 << "," << false;
        QTest::newRow("sawtooth, Spanish, typed site") << 3 << 6 << "." << true;
    }
    void roomFileRoundTrip() {
        QFETCH(int, type);
        QFETCH(int, language);
        QFETCH(QString, separator);
        QFETCH(bool, typedSiteAndGlazing);
        QTemporaryDir dir;
        const auto number = [&separator](QString text) { return text.replace(',', separator); };
        QStringList saved;
        {
            Window a(QString::number(language), {}, nullptr, separator.toStdString());
            a.ClickTab(type);
            a.List(1)->SetListIndex(7);
            a.List(0)->SetListIndex(typedSiteAndGlazing ? 0 : 3);
            a.List(2)->SetListIndex(typedSiteAndGlazing ? 0 : 2);
            const std::map<int, QString> typed{{0, "7"},   {1, "18"},    {2, "6,5"},   {3, "7"},
                                               {4, "750"}, {5, "-3,71"}, {6, "40,42"}, {7, "2"},
                                               {9, "65"},  {10, "5"},    {11, "2,25"}, {12, "1,5"},
                                               {13, "3"},  {14, "1,2"},  {15, "4,5"},  {16, "6"}};
            for (const auto& [field, text] : typed) {
                if (a.Field(field)->isEnabled())
                    a.Field(field)->SetText(number(text));
            }
            a.Find<QRadioButton>("optWindowArray(2)")->setChecked(true);
            a.Find<QRadioButton>("optWindowSlope(2)")->setChecked(true);
            a.Click("cmdCalculate");
            a.Menu("mnuSaveRoom", dir.filePath("Office 1.01")); // no file yet: asks for a name
            QCOMPARE(a.window->windowTitle(), QStringLiteral("KORVANE Energy - Office 1.01.kvroom[*]"));
            saved = Snapshot(a);
        }
        Window b(QString::number(language), {}, nullptr, separator.toStdString());
        b.Menu("mnuOpenRoom", dir.filePath("Office 1.01.kvroom"));
        QCOMPARE(Snapshot(b), saved);
    }

    // A file that is no usable room is named with what is wrong, and the window stays as it was.
    void unusableFileLeavesTheWindow_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const QByteArray valid = QByteArray::fromStdString(room::WriteRoom(room::Room{}));
        auto edited = [&valid](const char* from, const char* to) {
            return QByteArray(valid).replace(from, to);
        };
        QTest::newRow("not JSON") << QByteArray("Office;4;5\n") << Study(2, "faultDamaged");
        QTest::newRow("not UTF-8") << edited("\"name\": null", "\"name\": \"K\xF6ln\"")
                                   << Study(2, "faultDamaged");
        QTest::newRow("foreign") << QByteArray("{\"format\": \"sheet\", \"version\": 1}")
                                 << Study(2, "faultForeign");
        QTest::newRow("newer version")
            << edited("\"version\": 1", "\"version\": 2") << Study(2, "faultNewer");
        QTest::newRow("text for a choice")
            << edited("\"period\": 0", "\"period\": \"0\"") << "'\"0\"' is not one of the choices";
        QTest::newRow("missing group") << edited("\"glazing\"", "\"glass\"") << " is missing";
        QTest::newRow("refused on leaving")
            << edited("\"begin\": null", "\"begin\": 25") << "Beginning '25' is out of range (0 … 24)";
        QTest::newRow("10 MB of junk") << QByteArray(10 << 20, 'x') << Study(2, "faultTooLarge");
    }
    void unusableFileLeavesTheWindow() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath("bad.kvroom"), bytes));
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        s.ClickTab(2);
        s.Field(10)->SetText("3.5");
        const QStringList before = Snapshot(s);
        s.Menu("mnuOpenRoom", dir.filePath("bad.kvroom"));
        QCOMPARE(Snapshot(s), before);
        QCOMPARE(s.Messages().size(), size_t{1});
        QVERIFY2(s.Messages()[0].text.contains(says), qPrintable(s.Messages()[0].text));
        QVERIFY(s.Messages()[0].text.contains(Study(2, "messageOpenFailed")));
    }

    // A change of an open room marks the title until saved or undone, and closing asks about it.
    void unsavedChangesAreMarkedAndAskedOnClose_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addRow("unchanged") << "4" << int(QMessageBox::NoButton) << true;
        QTest::addRow("save") << "7" << int(QMessageBox::Save) << true;
        QTest::addRow("discard") << "7" << int(QMessageBox::Discard) << true;
        QTest::addRow("cancel") << "7" << int(QMessageBox::Cancel) << false;
    }
    void unsavedChangesAreMarkedAndAskedOnClose() {
        QFETCH(QString, edit);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QTemporaryDir dir;
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        s.Field(2)->SetText("4");
        s.Menu("mnuSaveRoom", dir.filePath("Office"));
        const QByteArray saved = Read(dir.filePath("Office.kvroom"));
        s.Field(2)->SetText("5");
        QVERIFY(s.window->isWindowModified());
        s.Field(2)->SetText(edit);
        QCOMPARE(s.window->isWindowModified(), edit != "4");
        s.Messages().clear();
        s.desktop.messages.answers = {QMessageBox::StandardButton(answer)};
        QCOMPARE(s.window->close(), closes);
        QCOMPARE(s.Messages().size(), size_t(edit != "4"));
        QCOMPARE(Read(dir.filePath("Office.kvroom")) != saved, answer == QMessageBox::Save);
        if (!s.Messages().empty())
            QVERIFY(s.Messages()[0].text.startsWith(Study(2, "questionUnsaved")));
    }

    // The dialog asks about the name typed; one the suffix was added to is asked about here.
    void replacingIsAskedWhateverWasTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addRow("suffix typed") << "Office.kvroom" << int(QMessageBox::No) << false;
        QTest::addRow("suffix added, replace") << "Office" << int(QMessageBox::Yes) << true;
        QTest::addRow("suffix added, keep") << "Office" << int(QMessageBox::No) << true;
        QTest::addRow("suffix added, new file") << "Hall" << int(QMessageBox::No) << false;
    }
    void replacingIsAskedWhateverWasTyped() {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath("Office.kvroom"), "old"));
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        s.desktop.messages.answers = {QMessageBox::StandardButton(answer)};
        s.Menu("mnuSaveRoomAs", dir.filePath(typed));
        QCOMPARE(s.Messages().size(), size_t(asked));
        const bool kept = asked && answer == QMessageBox::No;
        QCOMPARE(Read(dir.filePath("Office.kvroom")) == "old", kept || typed == "Hall");
        // A FIFO named as a room is refused at once, not waited on.
        QVERIFY(::mkfifo(qPrintable(dir.filePath("fifo.kvroom")), 0600) == 0);
        s.Menu("mnuOpenRoom", dir.filePath("fifo.kvroom"));
        QVERIFY(s.Messages().back().text.endsWith(Study(2, "faultUnreadable") + "\nnot a regular file"));
    }

    // The overview's thirteen values are the thirteen calculations; it follows Calculate and the language.
    void overviewShowsEachPeriodsCalculation() {
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        s.ClickTab(3);
        s.Menu("mnuMonthlyOverview");
        auto* table = s.window->findChild<QTableWidget*>("tblPeriods");
        QVERIFY(table != nullptr && table->isVisible());
        auto column = [table] {
            QStringList values;
            for (int row = 0; row < table->rowCount(); ++row)
                values << table->item(row, 1)->text();
            return values;
        };
        const QStringList shown = column();
        QStringList calculated;
        for (int period = 0; period <= 12; ++period) {
            s.List(1)->SetListIndex(period);
            s.Click("cmdCalculate");
            calculated << s.Result();
        }
        QCOMPARE(shown, calculated);
        s.Field(4)->SetText("2000");
        QCOMPARE(column(), shown); // not before the next Calculate
        s.Click("cmdCalculate");
        QVERIFY(column() != shown);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), Study(2, "columnPeriod"));
        s.Key('D');
        QCOMPARE(table->horizontalHeaderItem(0)->text(), Study(1, "columnPeriod"));
        QCOMPARE(s.Find<QMenu>("mnuStudy")->title(), Study(1, "menuStudy"));
        // Qt's own texts follow too: a field's context menu.
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Rückgängig"));
        s.Key('E');
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Undo"));
        s.window->close();
    }

    // The report: one A4 page with selectable text and embedded fonts; a failed write leaves no file.
    void reportIsOneA4PageOfText_data() {
        QTest::addColumn<int>("language");
        for (int language = 1; language <= 6; ++language)
            QTest::addRow("language %d", language) << language;
    }
    void reportIsOneA4PageOfText() {
        QFETCH(int, language);
        QTemporaryDir dir;
        Window s(QString::number(language), {}, nullptr, ",");
        s.Field(2)->SetText("5,5");
        s.Menu("mnuExportReport", dir.filePath("report"));
        const QString pdf = dir.filePath("report.pdf");
        const QString text = Tool("pdftotext", {"-layout", pdf, "-"}).second.simplified();
        for (const QString& expected : {Lang(language, 114).trimmed(), QStringLiteral("5,5"), s.Result(),
                                        QStringLiteral("Frankfurt am Main"),
                                        Study(language, "reportResult") + ": " + s.List(1)->currentText()})
            QVERIFY2(text.contains(expected), qPrintable(expected + " not in: " + text));
        const QString info = Tool("pdfinfo", {pdf}).second;
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        QVERIFY2(info.contains("(A4)"), qPrintable(info));
        const QStringList fonts = Tool("pdffonts", {pdf}).second.split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts)
            QVERIFY2(font.contains(QRegularExpression("\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$")),
                     qPrintable(font));

        s.Messages().clear();
        s.Menu("mnuExportReport", dir.filePath("gone/report.pdf"));
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries) ==
                QStringList{"report.pdf"});
        QCOMPARE(s.Messages().size(), size_t{1});
        QVERIFY(s.Messages()[0].text.contains(Study(language, "messageWriteFailed")));

        s.Menu("mnuPrintReport");
        QCOMPARE(s.desktop.printer.pages.size(), size_t{1});
        QImage blank(s.desktop.printer.pageSize, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(s.desktop.printer.pages[0].image != blank);
    }

    // A long value wraps, or is shortened visibly in its middle, never cut at the margin; "!" is explained
    // where a period has one.
    void reportShowsLongValuesAndExplainsItsMarks_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QStringList>("shown");
        const QString sankt =
            QStringLiteral("Sankt Peter-Ording an der Nordsee, Schleswig-Holstein (Deutschland)");
        QTest::addRow("wrapped") << sankt << false << QStringList{"Sankt Peter-", "(Deutschland)"};
        QTest::addRow("shortened") << QString(3000, 'x') + "END" << true
                                   << QStringList{QStringLiteral("\u2026"), "END", "! and red"};
    }
    void reportShowsLongValuesAndExplainsItsMarks() {
        QFETCH(QString, site);
        QFETCH(bool, marked);
        QFETCH(QStringList, shown);
        korvane::report::StudyReport r;
        r.inputs = {{"Site", site, {}}};
        r.markLegend = Study(2, "reportMarkLegend");
        for (auto& period : r.periods) {
            period.percent = 50;
            if (marked)
                period.error = korvane::VbError(1, "s", "d");
        }
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath("r.pdf"), korvane::report::ReportPdf(r)));
        const QString text = Tool("pdftotext", {dir.filePath("r.pdf"), "-"}).second;
        for (const QString& piece : shown)
            QVERIFY2(text.contains(piece), qPrintable(piece + " not in: " + text.left(400)));
        QCOMPARE(text.contains("! and red"), marked);
    }

    // On paper the report keeps its margins from the edge, or the printer's where they are wider (at
    // 254 dpi, ten dots to the millimetre; the painter starts at the printable corner).
    void reportKeepsItsMarginsOnAnyPrinter() {
        for (const auto& [printer, area] : {std::pair{QMarginsF(), QRectF(150, 120, 1800, 2730)},
                                            {QMarginsF(5, 5, 5, 5), QRectF(100, 70, 1800, 2730)},
                                            {QMarginsF(20, 5, 20, 5), QRectF(0, 70, 1700, 2730)}}) {
            const QRectF got =
                korvane::report::ReportArea(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                        printer, QPageLayout::Millimeter),
                                            254);
            // Qt keeps pages and margins in points: half a millimetre either way.
            QVERIFY2(
                (got.marginsAdded(QMarginsF(5, 5, 5, 5)).contains(area) &&
                 area.marginsAdded(QMarginsF(5, 5, 5, 5)).contains(got)),
                qPrintable(
                    QString("%1,%2 %3x%4").arg(got.x()).arg(got.y()).arg(got.width()).arg(got.height())));
        }
    }

    // A weather file gives the site fields its site, locked until it is closed, and the overview its sky
    // beside the standard one; a file the reader refuses is told with the reader's error and changes nothing.
    void weatherFileBesideTheStandardSky_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("says"); // in the message; empty: the file is taken
        QTest::newRow("sample") << KORVANE_WEATHER_SAMPLE << "";
        QTest::newRow("garbage") << QStringLiteral("garbage.epw") << QStringLiteral("13: ");
    }
    void weatherFileBesideTheStandardSky() {
        QFETCH(QString, file);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath("garbage.epw"), "LOCATION,nowhere\n1,2,3\n"));
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        s.Menu("mnuMonthlyOverview");
        const QStringList before = Snapshot(s);
        s.Menu("mnuOpenWeather", QDir(dir.path()).filePath(file));
        auto* table = s.window->findChild<QTableWidget*>("tblPeriods");
        QStringList year;
        for (int column = 1; column < table->columnCount(); ++column)
            year << table->item(0, column)->text();
        if (!says.isEmpty()) {
            QCOMPARE(Snapshot(s), before);
            QCOMPARE(year, QStringList{"69%"});
            QCOMPARE(s.Messages().size(), size_t{1});
            QVERIFY2(s.Messages()[0].text.startsWith(Study(2, "messageWeatherFailed")) &&
                         s.Messages()[0].text.contains(says) &&
                         s.Messages()[0].text.contains("(weather:ReadEpw)"),
                     qPrintable(s.Messages()[0].text));
            QVERIFY(!s.Find<QAction>("mnuCloseWeather")->isEnabled());
            return;
        }
        QCOMPARE(year, (QStringList{"74%", "33%", "85%", "64%"}));
        QCOMPARE(s.Result(), QStringLiteral("74%"));
        QCOMPARE(Snapshot(s).mid(8, 3), (QStringList{"8 (locked)", "45 (locked)", "1 (locked)"}));
        QVERIFY(!s.List(0)->isEnabled() && s.List(0)->currentIndex() == 0);
        s.Menu("mnuCloseWeather");
        QCOMPARE(Snapshot(s).mid(8, 3), (QStringList{"8", "45", "1"}));
        QVERIFY(s.List(0)->isEnabled() && !s.Find<QAction>("mnuCloseWeather")->isEnabled());
        QCOMPARE(table->columnCount(), 2);
        s.window->close();
    }

    // A room keeps its weather file relative to its own folder, and the report names both skies and the file;
    // a weather file gone since is told, and the room opens without it, marked as changed.
    void roomKeepsItsWeatherFile_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("kept");
        QTest::newRow("English, file kept") << 2 << true;
        QTest::newRow("German, file kept") << 1 << true;
        QTest::newRow("file gone") << 2 << false;
    }
    void roomKeepsItsWeatherFile() {
        QFETCH(int, language);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("rooms") && QDir(dir.path()).mkpath("skies"));
        const QString epw = dir.filePath("skies/Turin.epw");
        QVERIFY(QFile::copy(KORVANE_WEATHER_SAMPLE, epw));
        {
            Window a(QString::number(language), {}, nullptr, ".");
            a.Menu("mnuOpenWeather", epw);
            a.Menu("mnuSaveRoom", dir.filePath("rooms/Office.kvroom"));
            QVERIFY(!a.window->isWindowModified());
            a.Menu("mnuCloseWeather");
            QVERIFY(a.window->isWindowModified());
            a.desktop.messages.answers = {QMessageBox::Discard};
        }
        QVERIFY(Read(dir.filePath("rooms/Office.kvroom")).contains("\"weather\": \"../skies/Turin.epw\""));
        if (!kept)
            QVERIFY(QFile::remove(epw));
        Window b(QString::number(language), {}, nullptr, ".");
        b.Menu("mnuOpenRoom", dir.filePath("rooms/Office.kvroom"));
        QCOMPARE(b.Find<QAction>("mnuCloseWeather")->isEnabled(), kept);
        QCOMPARE(b.window->isWindowModified(), !kept);
        QCOMPARE(b.Messages().size(), size_t(!kept));
        if (!kept) {
            QVERIFY(b.Messages()[0].text.startsWith(Study(2, "messageWeatherFailed") + "\nTurin.epw"));
            return;
        }
        b.Menu("mnuExportReport", dir.filePath("report.pdf"));
        const QString text =
            Tool("pdftotext", {"-layout", dir.filePath("report.pdf"), "-"}).second.simplified();
        for (const char* id : {"skyStandard", "skyWeather"})
            QVERIFY2(text.contains(Study(language, id)),
                     qPrintable(Study(language, id) + " not in: " + text));
        QVERIFY2(text.contains("Turin.epw") && text.contains("74% 33% 85% 64%"), qPrintable(text));
    }

    // Entering a field selects its text however it is entered, so typing replaces it.
    void enteringAFieldSelectsItsText() {
        Window s(QStringLiteral("2"), {}, nullptr, ".");
        QTest::mouseClick(s.Field(2), Qt::LeftButton, {}, QPoint(4, 6));
        QVERIFY(s.Field(2)->hasFocus());
        QTest::keyClicks(s.Field(2), "1");
        QCOMPARE(s.Field(2)->Text(), QStringLiteral("1"));
        // After "incomplete input" the focus returns to the first field, which may have had it all along.
        s.Field(3)->SetText("");
        s.Field(0)->setFocus();
        s.Field(0)->deselect();
        s.Find<QPushButton>("cmdCalculate")->click();
        QCOMPARE(s.Messages().back().text, Lang(2, 146));
        QVERIFY(s.Field(0)->hasFocus());
        QCOMPARE(s.Field(0)->selectedText(), s.Field(0)->Text());
    }
};

QTEST_MAIN(frmMainStudyTest)
#include "frmMain_study_test.moc"
