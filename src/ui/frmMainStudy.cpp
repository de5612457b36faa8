// The main window's study commands: room files, the monthly overview and the one-page report.

#include "InputFields.h"
#include "InputFile.h"
#include "MonthlyOverview.h"
#include "QtTranslations.h"
#include "RoomFile.h"
#include "StudyReport.h"
#include "StudyTexts.h"
#include "VbConvert.h"
#include "WeatherSky.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace korvane::ui {

namespace {

QString L(int16_t baseId) {
    return QString::fromStdString(GetLangString(baseId));
}

QString S(std::string_view id) {
    return QString::fromStdString(StudyText(id));
}

const std::string& Separator() {
    static const std::string point(1, '.');
    return gDecimalSeparator.empty() ? point : gDecimalSeparator;
}

// A label's text as one line: no access key, no line breaks, no closing colon.
QString Plain(QString text) {
    text.remove('&');
    text = text.simplified();
    while (text.endsWith(':') || text.endsWith(' '))
        text.chop(1);
    return text;
}

QString WithSuffix(const QString& fileName, const QString& suffix) {
    return fileName.endsWith(suffix, Qt::CaseInsensitive) ? fileName : fileName + suffix;
}

QString AbsolutePath(const QString& fileName) {
    return QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

QAction* Command(QMenu* menu, QAction* before, const char* name, const QKeySequence& shortcut) {
    auto* action = new QAction(menu);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    menu->insertAction(before, action);
    return action;
}

} // namespace

void frmMain::CreateStudyCommands() {
    QAction* first = mnuFile->actions().value(0);
    mnuOpenRoom = Command(mnuFile, first, "mnuOpenRoom", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    mnuSaveRoom = Command(mnuFile, first, "mnuSaveRoom", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuSaveRoomAs = Command(mnuFile, first, "mnuSaveRoomAs", QKeySequence());
    mnuExportReport =
        Command(mnuFile, first, "mnuExportReport", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    mnuPrintReport = Command(mnuFile, first, "mnuPrintReport", QKeySequence());
    mnuFile->insertSeparator(first);
    mnuStudy = new QMenu(this);
    mnuStudy->setObjectName(QStringLiteral("mnuStudy"));
    menuBar()->insertMenu(mnuHelp->menuAction(), mnuStudy);
    mnuMonthlyOverview = mnuStudy->addAction(QString());
    mnuMonthlyOverview->setObjectName(QStringLiteral("mnuMonthlyOverview"));
    mnuStudy->addSeparator();
    mnuOpenWeather = mnuStudy->addAction(QString());
    mnuOpenWeather->setObjectName(QStringLiteral("mnuOpenWeather"));
    mnuCloseWeather = mnuStudy->addAction(QString());
    mnuCloseWeather->setObjectName(QStringLiteral("mnuCloseWeather"));
    mnuCloseWeather->setEnabled(false);

    connect(mnuOpenRoom, &QAction::triggered, this, [this] { OpenRoom(); });
    connect(mnuSaveRoom, &QAction::triggered, this, [this] { SaveRoom(roomFile_.isEmpty()); });
    connect(mnuSaveRoomAs, &QAction::triggered, this, [this] { SaveRoom(true); });
    connect(mnuExportReport, &QAction::triggered, this, [this] { ExportReport(); });
    connect(mnuPrintReport, &QAction::triggered, this, [this] { PrintReport(); });
    connect(mnuMonthlyOverview, &QAction::triggered, this, [this] { ShowOverview(); });
    connect(mnuOpenWeather, &QAction::triggered, this, [this] { OpenWeather(); });
    connect(mnuCloseWeather, &QAction::triggered, this, [this] {
        CloseWeather();
        NoteRoomChange();
        RefreshOverview();
    });

    // Any change of an input may make the open room differ from its file, or agree with it again.
    const auto note = [this] { NoteRoomChange(); };
    for (const auto& [index, field] : txtInput.Elements())
        connect(field, &QLineEdit::textChanged, this, note);
    for (const auto& [index, list] : lstInput.Elements())
        connect(list, &QComboBox::currentIndexChanged, this, note);
    for (const auto* group : {&optWindowArray, &optWindowSlope}) {
        for (const auto& [index, option] : group->Elements())
            connect(option, &QRadioButton::toggled, this, note);
    }
    connect(tabWindowTyp, &QTabWidget::currentChanged, this, note);
}

void frmMain::LoadStudyTexts() {
    mnuOpenRoom->setText(S("menuOpenRoom"));
    mnuSaveRoom->setText(S("menuSaveRoom"));
    mnuSaveRoomAs->setText(S("menuSaveRoomAs"));
    mnuExportReport->setText(S("menuExportReport"));
    mnuPrintReport->setText(S("menuPrintReport"));
    mnuStudy->setTitle(S("menuStudy"));
    mnuMonthlyOverview->setText(S("menuMonthlyOverview"));
    mnuOpenWeather->setText(S("menuOpenWeather"));
    mnuCloseWeather->setText(S("menuCloseWeather"));
    InstallQtTranslations(gLanguage);
    if (overview_)
        RefreshOverview();
}

// --- room files --------------------------------------------------------------------------------------------

QStringList frmMain::RoomState() const {
    QStringList state;
    for (const auto& [index, field] : txtInput.Elements())
        state << field->text();
    for (const auto& [index, list] : lstInput.Elements())
        state << QString::number(list->currentIndex());
    for (const auto* group : {&optWindowArray, &optWindowSlope}) {
        for (const auto& [index, option] : group->Elements())
            state << QString::number(option->isChecked());
    }
    state << QString::number(tabWindowTyp->currentIndex());
    state << weatherFile_; // last: a room whose weather file could not be opened differs here
    return state;
}

void frmMain::NoteRoomChange() {
    if (!roomFile_.isEmpty())
        setWindowModified(RoomState() != savedState_);
}

void frmMain::TakeRoomFile(const QString& fileName) {
    roomFile_ = fileName;
    // Qt shows "*" at the placeholder while the room differs from its file.
    setWindowTitle(AppTitle() + QStringLiteral(" - ") + QFileInfo(fileName).fileName() +
                   QStringLiteral("[*]"));
    savedState_ = RoomState();
    setWindowModified(false);
}

bool frmMain::MayReplace(const QString& chosen, const QString& fileName) {
    // The file dialog asked about the name as typed; a suffix added to it may name another file.
    if (fileName == chosen || (!QFileInfo(fileName).exists() && !QFileInfo(fileName).isSymLink()))
        return true;
    return seams_.messages->Show(this, AppTitle(), S("questionReplace") + "\n" + fileName,
                                 QMessageBox::Question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool frmMain::MayClose() {
    if (roomFile_.isEmpty() || !isWindowModified())
        return true;
    const auto answer = seams_.messages->Show(
        this, AppTitle(), S("questionUnsaved") + "\n" + QFileInfo(roomFile_).fileName(),
        QMessageBox::Question, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    return answer != QMessageBox::Save || SaveRoom(false);
}

room::Room frmMain::RoomOfWindow() {
    const inputs::RoomTexts texts = TextsOfWindow();
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        const std::string& text = texts.Field(rule.id);
        if (!text.empty() && !IsNumeric(text, texts.separator)) {
            VbTextBox& field = txtInput(static_cast<int16_t>(rule.id));
            field.SetFocus();
            field.selectAll();
            RaiseRuntime(ErrTypeMismatch, "frmMain:RoomOfWindow");
        }
    }
    return room::RoomOf(texts);
}

void frmMain::ShowRoom(const room::Room& r) {
    const inputs::RoomTexts texts = room::TextsOf(r);
    auto put = [this, &texts](inputs::FieldId id) {
        txtInput(static_cast<int16_t>(id))
            .SetText(QString::fromStdString(texts.Field(id)).replace('.', QString::fromStdString(Separator())));
    };
    auto tick = [](const ControlArray<VbOptionButton>& group, int value) {
        for (const auto& [index, option] : group.Elements())
            option->setChecked(option->Tag().toInt() == value);
    };
    lstInput(1).SetListIndex(r.period);
    // A site of the list is chosen from it, as the user would; any other becomes typed coordinates.
    int site = 0;
    for (size_t i = 1; r.siteName && i < SiteTable.size(); ++i) {
        if (SiteTable[i].Name == *r.siteName) {
            site = static_cast<int>(i);
            break;
        }
    }
    lstInput(0).SetListIndex(site);
    lstInput(2).SetListIndex(r.glazing);
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        const bool coordinate = rule.id == inputs::FieldId::Longitude || rule.id == inputs::FieldId::Latitude ||
                          rule.id == inputs::FieldId::TimeDiffGMT;
        // The lists filled their own fields.
        if ((coordinate && lstInput(0).ListIndex() != 0) ||
            (rule.id == inputs::FieldId::Transmittance && r.glazing != 0))
            continue;
        put(rule.id);
    }
    tabWindowTyp->setCurrentIndex(r.windowType - 1);
    tick(optWindowArray, r.band);
    tick(optWindowSlope, r.slope);
}

bool frmMain::OpenRoomFile(const QString& fileName) {
    bool taken = false;
    Trap("frmMain:OpenRoomFile", [this, &fileName, &taken] {
        const QString name = QFileInfo(fileName).fileName();
        auto refuse = [this, &name](const QString& why) {
            MsgBox(seams_, this, S("messageOpenFailed") + "\n" + name + "\n\n" + why, QMessageBox::Warning);
        };
        InputFile file(QFile::encodeName(fileName).toStdString());
        std::string bytes;
        // Read no more than one byte past the limit, so a huge file is refused without being read whole.
        if (!file.ReadAtMost(room::kMaxFileSize + 1, bytes)) {
            refuse(S("faultUnreadable") + "\n" + QString::fromStdString(file.Reason()));
            return;
        }
        room::Room r;
        try {
            r = room::ReadRoom(bytes);
        } catch (const room::RoomFileError& e) {
            refuse(QString::fromStdString(room::FaultText(e)));
            return;
        }
        ShowRoom(r);
        // The weather file, relative to the room file's folder; one that cannot be read is told, left out.
        QString unread;
        if (r.weatherFile) {
            const QString weatherFile = AbsolutePath(
                QFileInfo(fileName).absoluteDir().filePath(QString::fromStdString(*r.weatherFile)));
            if (!OpenWeatherFile(weatherFile))
                unread = weatherFile;
        }
        if (!r.weatherFile || !unread.isEmpty())
            CloseWeather();
        TakeRoomFile(fileName);
        if (!unread.isEmpty()) {
            savedState_.last() = unread;
            setWindowModified(true);
        }
        taken = true;
        CalculateData(false);
    });
    return taken;
}

void frmMain::OpenRoom() {
    const QString fileName = seams_.files->GetOpenFileName(this, S("menuOpenRoom"), S("filterRoom"));
    if (!fileName.isEmpty())
        OpenRoomFile(fileName);
}

bool frmMain::SaveRoom(bool askForName) {
    bool saved = false;
    Trap("frmMain:SaveRoom", [this, askForName, &saved] {
        room::Room r;
        try {
            r = RoomOfWindow();
        } catch (const VbError& e) {
            if (e.Number() != ErrTypeMismatch)
                throw;
            Message(L(146));
            return;
        }
        std::string text = room::WriteRoom(r);
        try {
            // What the window holds may still be refused on leaving its field; such a room is not kept.
            room::ReadRoom(text);
        } catch (const room::RoomFileError& e) {
            Message(QString::fromStdString(room::FaultText(e)));
            return;
        }
        QString fileName = roomFile_;
        if (askForName) {
            fileName = seams_.files->GetSaveFileName(this, S("menuSaveRoomAs"), S("filterRoom"),
                                                     roomFile_.isEmpty() ? QStringLiteral("Room.kvroom")
                                                                         : roomFile_);
            if (fileName.isEmpty())
                return;
            const QString chosen = fileName;
            fileName = WithSuffix(fileName, QStringLiteral(".kvroom"));
            if (!MayReplace(chosen, fileName))
                return;
        }
        if (!weatherFile_.isEmpty()) {
            r.weatherFile =
                QDir(QFileInfo(fileName).absolutePath()).relativeFilePath(weatherFile_).toStdString();
            text = room::WriteRoom(r);
        }
        try {
            seams_.writer->WriteFile(fileName, QByteArray::fromStdString(text));
        } catch (const VbError& e) {
            Message(S("messageWriteFailed") + "\n" + fileName + "\n\n" +
                    QString::fromStdString(e.Description()));
            return;
        }
        TakeRoomFile(fileName);
        saved = true;
    });
    return saved;
}

// --- the weather file --------------------------------------------------------------------------------------

void frmMain::ShowWeatherFailure(const QString& fileName, const VbError& e) {
    MsgBox(seams_, this,
           S("messageWeatherFailed") + "\n" + QFileInfo(fileName).fileName() + "\n\n" +
               QString::number(e.Number()) + ": " + QString::fromStdString(e.Description()) + "\n(" +
               QString::fromStdString(e.Source()) + ")",
           QMessageBox::Warning);
}

bool frmMain::OpenWeatherFile(const QString& fileName) {
    std::shared_ptr<const weather::WeatherYear> year;
    try {
        year = std::make_shared<const weather::WeatherYear>(
            weather::ReadEpwFile(QFile::encodeName(fileName).toStdString()));
    } catch (const VbError& e) {
        ShowWeatherFailure(fileName, e);
        return false;
    }
    weather_ = std::move(year);
    weatherFile_ = AbsolutePath(fileName);
    ShowWeatherSite();
    return true;
}

void frmMain::OpenWeather() {
    Trap("frmMain:OpenWeather", [this] {
        const QString fileName =
            seams_.files->GetOpenFileName(this, S("menuOpenWeather"), S("filterWeather"));
        if (fileName.isEmpty() || !OpenWeatherFile(fileName))
            return;
        NoteRoomChange();
        // The standard sky's result follows the site the file gave the fields.
        CalculateData(false);
    });
}

void frmMain::CloseWeather() {
    weather_.reset();
    weatherFile_.clear();
    ShowWeatherSite();
}

void frmMain::ShowWeatherSite() {
    const bool open = weather_ != nullptr;
    if (open) {
        lstInput(0).SetListIndex(0);
        const auto& site = weather_->site.observer;
        // Whole, as a site of the site list is: a field's length limits typing only.
        const auto put = [this](inputs::FieldId id, double value) {
            txtInput(static_cast<int16_t>(id)).SetText(QString::fromStdString(CStr(value, Separator())));
        };
        put(inputs::FieldId::Longitude, site.longitude);
        put(inputs::FieldId::Latitude, site.latitude);
        put(inputs::FieldId::TimeDiffGMT, static_cast<double>(std::lround(site.timeZone)));
    }
    lstInput(0).setEnabled(!open);
    for (int16_t field : {5, 6, 7})
        txtInput(field).SetEnabled(!open && lstInput(0).ListIndex() == 0);
    mnuCloseWeather->setEnabled(open);
}

std::optional<report::WeatherSkyPeriods> frmMain::WeatherPeriods() {
    if (!weather_ || !lastRun_)
        return std::nullopt;
    const auto& site = weather_->site.observer;
    const auto number = [](double value) { return QString::fromStdString(CStr(value, Separator())); };
    report::WeatherSkyPeriods w;
    w.standardName = S("skyStandard");
    w.weatherName = S("skyWeather");
    w.autonomyColumn = S("columnAutonomy");
    w.fileLine = S("skyWeather") + ": " + QFileInfo(weatherFile_).fileName() + " (" + Plain(L(118)) + ' ' +
                 number(site.latitude) + ", " + Plain(L(117)) + ' ' + number(site.longitude) + ", " +
                 Plain(L(119)) + ' ' + number(site.timeZone) + ')';
    w.periods = weather::CalculateAllPeriodsUnderWeather(*lastRun_, *weather_);
    return w;
}

// --- the monthly overview and the report -------------------------------------------------------------------

namespace {

report::MonthTexts MonthTextsNow() {
    report::MonthTexts t;
    t.periodColumn = S("columnPeriod");
    t.savingColumn = S("columnSaving");
    for (int16_t id = kFirstPeriodText; id < kFirstPeriodText + kPeriodCount; ++id)
        t.periodNames << Plain(L(id));
    t.monthShort = S("monthShort").split('|');
    t.yearLabel = S("chartYear");
    return t;
}

} // namespace

bool frmMain::StudyReady() {
    CalculateData(false);
    return lastRun_ != nullptr;
}

void frmMain::ShowOverview() {
    Trap("frmMain:ShowOverview", [this] {
        if (!overview_)
            overview_ = new report::MonthlyOverview(this);
        // The overview shows what Calculate shows: the window's inputs as they are now.
        if (!StudyReady())
            return;
        overview_->show();
        overview_->raise();
    });
}

void frmMain::RefreshOverview() {
    if (!overview_ || !lastRun_)
        return;
    overview_->SetData(S("overviewTitle") + QStringLiteral(" - ") + AppTitle(),
                       CalculateAllPeriods(*lastRun_), MonthTextsNow(), WeatherPeriods());
}

report::StudyReport frmMain::ReportOfWindow() {
    report::StudyReport r;
    r.title = S("reportTitle");
    r.dateLine = S("reportDate") + ": " + QDate::currentDate().toString(Qt::ISODate);
    r.versionLine = S("reportVersion") + ": " + AppTitle() + ' ' + QStringLiteral(KORVANE_VERSION_TEXT);
    r.inputsHeading = S("reportInputs");
    r.monthsHeading = S("reportMonths");
    r.resultLabel = S("reportResult");
    auto field = [this, &r](int label, int index, int unit) {
        r.inputs.push_back({Plain(lblInput(label).text()), txtInput(index).Text(), lblUnit(unit).text()});
    };
    auto choice = [&r](const QString& label, const QString& value) {
        r.inputs.push_back({Plain(label), value, {}});
    };
    auto ticked = [](const ControlArray<VbOptionButton>& group) {
        for (const auto& [index, option] : group.Elements()) {
            if (option->Value())
                return option->text();
        }
        return QString();
    };
    field(0, 0, 0);
    field(1, 1, 1);
    choice(L(140), lstInput(1).currentText());
    field(2, 2, 2);
    field(3, 3, 3);
    field(4, 4, 4);
    choice(S("reportSite"), lstInput(0).currentText());
    field(5, 5, 5);
    field(6, 6, 6);
    field(7, 7, 7);
    choice(lblInput(8).text(), lstInput(2).currentText());
    field(9, 9, 8);
    r.windowType = tabWindowTyp->SelectedItem();
    choice(S("reportWindowType"), Plain(tabWindowTyp->tabText(r.windowType - 1)));
    switch (r.windowType) {
    case 1:
        choice(S("reportBand"), ticked(optWindowArray));
        field(11, 11, 9);
        break;
    case 2:
        field(10, 10, 10);
        field(12, 12, 11);
        field(13, 13, 12);
        break;
    default:
        field(14, 14, 13);
        field(15, 15, 14);
        field(16, 16, 15);
        choice(lblInput(17).text(), ticked(optWindowSlope));
        break;
    }
    r.resultPeriod = lstInput(1).currentText();
    r.markLegend = S("reportMarkLegend");
    r.resultText = lblResult->text();
    r.resultOk = lastFailure_.isEmpty();
    r.resultMessage = DisplayText(lastFailure_);
    r.periods = CalculateAllPeriods(*lastRun_);
    r.months = MonthTextsNow();
    r.weather = WeatherPeriods();
    r.disclaimer = L(183);
    return r;
}

void frmMain::ExportReport() {
    Trap("frmMain:ExportReport", [this] {
        const QString suggested = roomFile_.isEmpty() ? QStringLiteral("KORVANE Energy.pdf")
                                                      : QFileInfo(roomFile_).completeBaseName() + ".pdf";
        QString fileName =
            seams_.files->GetSaveFileName(this, S("menuExportReport"), S("filterPdf"), suggested);
        if (fileName.isEmpty())
            return;
        const QString chosen = fileName;
        fileName = WithSuffix(fileName, QStringLiteral(".pdf"));
        if (!MayReplace(chosen, fileName) || !StudyReady())
            return;
        try {
            seams_.writer->WriteFile(fileName, report::ReportPdf(ReportOfWindow()));
        } catch (const VbError& e) {
            Message(S("messageWriteFailed") + "\n" + fileName + "\n\n" +
                    QString::fromStdString(e.Description()));
        }
    });
}

void frmMain::PrintReport() {
    Trap("frmMain:PrintReport", [this] {
        if (!StudyReady())
            return;
        const report::StudyReport page = ReportOfWindow();
        seams_.printer->PrintPage(this, [&page](QPainter& painter, const QRectF& printable) {
            // On paper the PDF's margins, whatever the printer's are.
            const auto* printer = dynamic_cast<QPrinter*>(painter.device());
            report::PaintReport(
                painter,
                printer ? report::ReportArea(printer->pageLayout(), printer->resolution()) : printable, page);
        });
    });
}

} // namespace korvane::ui
