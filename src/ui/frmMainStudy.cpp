// The main window's study commands: room files, the monthly overview and the one-page report.

#include "MonthlyOverview.h"
#include "QtTranslations.h"
#include "RoomFile.h"
#include "StudyReport.h"
#include "StudyTexts.h"
#include "VbConvert.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QAction>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

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

    connect(mnuOpenRoom, &QAction::triggered, this, [this] { OpenRoom(); });
    connect(mnuSaveRoom, &QAction::triggered, this, [this] { SaveRoom(roomFile_.isEmpty()); });
    connect(mnuSaveRoomAs, &QAction::triggered, this, [this] { SaveRoom(true); });
    connect(mnuExportReport, &QAction::triggered, this, [this] { ExportReport(); });
    connect(mnuPrintReport, &QAction::triggered, this, [this] { PrintReport(); });
    connect(mnuMonthlyOverview, &QAction::triggered, this, [this] { ShowOverview(); });
}

void frmMain::LoadStudyTexts() {
    mnuOpenRoom->setText(S("menuOpenRoom"));
    mnuSaveRoom->setText(S("menuSaveRoom"));
    mnuSaveRoomAs->setText(S("menuSaveRoomAs"));
    mnuExportReport->setText(S("menuExportReport"));
    mnuPrintReport->setText(S("menuPrintReport"));
    mnuStudy->setTitle(S("menuStudy"));
    mnuMonthlyOverview->setText(S("menuMonthlyOverview"));
    InstallQtTranslations(gLanguage);
    if (overview_)
        RefreshOverview();
}

// --- room files --------------------------------------------------------------------------------------------

room::Room frmMain::RoomOfWindow() {
    auto number = [this](int index) -> room::Number {
        const std::string text = txtInput(index).Text().toStdString();
        if (text.empty())
            return std::nullopt;
        if (!IsNumeric(text, Separator())) {
            txtInput(index).SetFocus();
            txtInput(index).selectAll();
            RaiseRuntime(ErrTypeMismatch, "frmMain:RoomOfWindow");
        }
        return CDbl(text, Separator());
    };
    auto tag = [](const ControlArray<VbOptionButton>& group, int fallback) {
        for (const auto& [index, option] : group.Elements()) {
            if (option->Value())
                return option->Tag().toInt();
        }
        return fallback;
    };
    room::Room r;
    r.beginHour = number(0);
    r.endHour = number(1);
    r.period = lstInput(1).ListIndex();
    r.depth = number(2);
    r.width = number(3);
    r.illuminance = number(4);
    if (const int site = lstInput(0).ListIndex(); site >= 1)
        r.siteName = SiteAt(site).Name;
    r.longitude = number(5);
    r.latitude = number(6);
    r.timeDiffGMT = number(7);
    r.glazing = lstInput(2).ListIndex();
    r.transmittance = number(9);
    r.windowType = tabWindowTyp->SelectedItem();
    r.band = tag(optWindowArray, 60);
    r.windowHeight = number(11);
    r.flatRoomHeight = number(10);
    r.windowArea = number(12);
    r.roofLightDistance = number(13);
    r.glassHeight = number(14);
    r.sawtoothRoomHeight = number(15);
    r.rowDistance = number(16);
    r.slope = tag(optWindowSlope, 90);
    return r;
}

void frmMain::ShowRoom(const room::Room& r) {
    auto put = [this](int index, const room::Number& value) {
        QString text;
        if (value)
            text = QString::fromStdString(room::FieldText(*value))
                       .replace('.', QString::fromStdString(Separator()));
        txtInput(index).SetText(text);
    };
    auto tick = [](const ControlArray<VbOptionButton>& group, int value) {
        for (const auto& [index, option] : group.Elements())
            option->setChecked(option->Tag().toInt() == value);
    };
    put(0, r.beginHour);
    put(1, r.endHour);
    lstInput(1).SetListIndex(r.period);
    put(2, r.depth);
    put(3, r.width);
    put(4, r.illuminance);
    // A site of the list is chosen from it, as the user would; any other becomes typed coordinates.
    int site = 0;
    for (size_t i = 1; r.siteName && i < SiteTable.size(); ++i) {
        if (SiteTable[i].Name == *r.siteName) {
            site = static_cast<int>(i);
            break;
        }
    }
    lstInput(0).SetListIndex(site);
    if (site == 0) {
        put(5, r.longitude);
        put(6, r.latitude);
        put(7, r.timeDiffGMT);
    }
    lstInput(2).SetListIndex(r.glazing);
    if (r.glazing == 0)
        put(9, r.transmittance);
    tabWindowTyp->setCurrentIndex(r.windowType - 1);
    tick(optWindowArray, r.band);
    put(11, r.windowHeight);
    put(10, r.flatRoomHeight);
    put(12, r.windowArea);
    put(13, r.roofLightDistance);
    put(14, r.glassHeight);
    put(15, r.sawtoothRoomHeight);
    put(16, r.rowDistance);
    tick(optWindowSlope, r.slope);
}

bool frmMain::OpenRoomFile(const QString& fileName) {
    bool taken = false;
    Trap("frmMain:OpenRoomFile", [this, &fileName, &taken] {
        const QString name = QFileInfo(fileName).fileName();
        auto refuse = [this, &name](const QString& why) {
            MsgBox(seams_, this, S("messageOpenFailed") + "\n" + name + "\n\n" + why, QMessageBox::Warning);
        };
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            refuse(S("faultUnreadable") + "\n" + file.errorString());
            return;
        }
        // Read no more than one byte past the limit, so a huge file is refused without being read whole.
        const QByteArray bytes = file.read(static_cast<qint64>(room::kMaxFileSize) + 1);
        room::Room r;
        try {
            r = room::ReadRoom(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        } catch (const room::RoomFileError& e) {
            refuse(QString::fromStdString(room::FaultText(e)));
            return;
        }
        ShowRoom(r);
        roomFile_ = fileName;
        setWindowTitle(AppTitle() + QStringLiteral(" - ") + name);
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
        const std::string text = room::WriteRoom(r);
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
            fileName = WithSuffix(fileName, QStringLiteral(".kvroom"));
        }
        try {
            seams_.writer->WriteFile(fileName, QByteArray::fromStdString(text));
        } catch (const VbError& e) {
            Message(S("messageWriteFailed") + "\n" + fileName + "\n\n" +
                    QString::fromStdString(e.Description()));
            return;
        }
        roomFile_ = fileName;
        setWindowTitle(AppTitle() + QStringLiteral(" - ") + QFileInfo(fileName).fileName());
        saved = true;
    });
    return saved;
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
                       CalculateAllPeriods(*lastRun_), MonthTextsNow());
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
    r.resultText = lblResult->text();
    r.resultOk = lastFailure_.isEmpty();
    r.resultMessage = DisplayText(lastFailure_);
    r.periods = CalculateAllPeriods(*lastRun_);
    r.months = MonthTextsNow();
    r.disclaimer = L(183);
    return r;
}

void frmMain::ExportReport() {
    Trap("frmMain:ExportReport", [this] {
        const QString suggested = roomFile_.isEmpty() ? QStringLiteral("KORVANE Energy.pdf")
                                                      : QFileInfo(roomFile_).completeBaseName() + ".pdf";
        QString fileName =
            seams_.files->GetSaveFileName(this, S("menuExportReport"), S("filterPdf"), suggested);
        if (fileName.isEmpty() || !StudyReady())
            return;
        fileName = WithSuffix(fileName, QStringLiteral(".pdf"));
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
            report::PaintReport(painter, printable, page);
        });
    });
}

} // namespace korvane::ui
