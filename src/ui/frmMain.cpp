#include "frmMain.h"

#include "DataFiles.h"
#include "InputFields.h"
#include "QLists.h"
#include "VbConvert.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "frmAbout.h"
#include "modDialogHandler.h"
#include "modLangConstants.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace korvane::ui {

namespace {

const QColor kSuccessColor(0, 192, 0);
const QColor kFailureColor(255, 0, 0);

QString L(int16_t baseId) {
    return QString::fromStdString(GetLangString(baseId));
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// The separator for converting numbers. When the locale's could not be read, numbers are written and read
// with a point rather than with no separator at all, which would turn 8.68 into 868.
const std::string& Separator() {
    static const std::string point(1, '.');
    return gDecimalSeparator.empty() ? point : gDecimalSeparator;
}

} // namespace

frmMain::frmMain(const Seams& seams, QString programFolder, QWidget* parent)
    : QMainWindow(parent), seams_(seams),
      programFolder_(programFolder.isNull() ? QCoreApplication::applicationDirPath()
                                            : std::move(programFolder)) {
    CreateControls();
    CreateStudyCommands();
    ConnectEvents();
    Form_Initialize();
}

// Form_Terminate: nothing to do.
frmMain::~frmMain() = default;

void frmMain::ConnectEvents() {
    txtInput.events.gotFocus = [this](int16_t i) { txtInput_GotFocus(i); };
    txtInput.events.keyPress = [this](int16_t i, int16_t& k) { txtInput_KeyPress(i, k); };
    txtInput.events.lostFocus = [this](int16_t i) { txtInput_LostFocus(i); };
    lstInput.events.click = [this](int16_t i) { lstInput_Click(i); };
    mnuFileCmd.events.click = [this](int16_t i) { mnuFileCmd_Click(i); };
    mnuLangCmd.events.click = [this](int16_t i) { mnuLangCmd_Click(i); };
    mnuHelpCmd.events.click = [this](int16_t i) { mnuHelpCmd_Click(i); };
    tabWindowTyp->click = [this] { tabWindowTyp_Click(); };
    cmdCalculate->click = [this] { cmdCalculate_Click(); };
    cmdPrint->click = [this] { cmdPrint_Click(); };
}

bool frmMain::Trap(const char* label, const std::function<void()>& body) {
    return Trapped(seams_, this, label, body);
}

void frmMain::Message(const QString& text) {
    MsgBox(seams_, this, text, QMessageBox::Warning);
}

// --- the window's life -------------------------------------------------------------------------------------

void frmMain::Form_Initialize() {
    SiteTable.assign(2, GeoEntry{});
    TransmissionPresets = inputs::kGlazingPresets;
}

void frmMain::Load() {
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void frmMain::Form_Load() {
    Trap("frmMain:Form_Load", [this] {
        LoadSettings();
        LoadLanguage();
        const auto defaultGeo = FindDataFile(QFile::encodeName(programFolder_).toStdString(), "DEFAULT.GEO");
        OpenGeoFile(QFile::decodeName(defaultGeo.c_str()));
        const bool print = false;
        CalculateData(print);
    });
}

void frmMain::ShowModal() {
    Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &frmMain::Unloaded, &loop, &QEventLoop::quit);
    show();
    loop.exec();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing is refused only to keep unsaved changes of an open room.
    if (!MayClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    emit Unloaded();
}

void frmMain::Form_Unload() {
    SaveSettings();
}

// --- settings ----------------------------------------------------------------------------------------------

void frmMain::LoadSettings() {
    Trap("frmMain:LoadSettings", [this] {
        const QString stored =
            seams_.settings->GetSetting(AppTitle(), QStringLiteral("Settings"), QStringLiteral("Language"))
                .value_or(QStringLiteral("1"));
        const std::string text = Utf8(stored);
        if (!IsNumeric(text, Separator()))
            return;
        const int16_t language = CInt(text, Separator());
        // A number without a menu item fails here, before the language is taken.
        mnuLangCmd(language).SetChecked(true);
        gLanguage = language;
    });
}

void frmMain::SaveSettings() {
    Trap("frmMain:SaveSettings", [this] {
        seams_.settings->SaveSetting(AppTitle(), QStringLiteral("Settings"), QStringLiteral("Language"),
                                     QString::number(gLanguage));
    });
}

// --- language ----------------------------------------------------------------------------------------------

void frmMain::LoadLanguage() {
    Trap("frmMain:LoadLanguage", [this] {
        mnuFile->setTitle(L(100));
        mnuFileCmd(0).SetCaption(L(101));
        mnuFileCmd(1).SetCaption(L(102));
        mnuLang->setTitle(L(103));
        for (int16_t i = 1; i <= 6; ++i)
            mnuLangCmd(i).SetCaption(L(static_cast<int16_t>(103 + i)));
        mnuHelp->setTitle(L(110));
        mnuHelpCmd(0).SetCaption(L(111));

        fraRange(0).SetCaption(L(135));
        fraRange(1).SetCaption(L(140));
        fraRange(2).SetCaption(L(141));
        fraRange(3).SetCaption(L(136));
        fraRange(5).SetCaption(L(138));

        for (int16_t i = 0; i <= 9; ++i)
            lblInput(i).SetCaption(L(static_cast<int16_t>(112 + i)));
        lblInput(11).SetCaption(L(122));
        lblInput(10).SetCaption(L(123));
        lblInput(15).SetCaption(L(123));
        lblInput(12).SetCaption(L(124));
        lblInput(13).SetCaption(L(125));
        lblInput(16).SetCaption(L(125));
        lblInput(14).SetCaption(L(127));
        lblInput(17).SetCaption(L(128));

        lblInformation(1).SetCaption(L(142));
        lblInformation(0).SetCaption(L(143));
        chkDLSTime->setText(L(130));
        tabWindowTyp->SetTabCaption(1, L(131));
        tabWindowTyp->SetTabCaption(2, L(132));
        tabWindowTyp->SetTabCaption(3, L(134));
        cmdCalculate->setText(L(159));
        cmdPrint->setText(L(160));

        VbComboBox& period = lstInput(1);
        const int periodSelected = period.ListIndex();
        period.Clear();
        for (int16_t id = kFirstPeriodText; id < kFirstPeriodText + kPeriodCount; ++id)
            period.AddItem(L(id));
        period.SetListIndex(periodSelected == -1 ? 0 : periodSelected);

        VbComboBox& glazing = lstInput(2);
        const int glazingSelected = glazing.ListIndex();
        glazing.Clear();
        for (const int16_t id : {177, 174, 175, 176})
            glazing.AddItem(L(id));
        glazing.SetListIndex(glazingSelected == -1 ? 1 : glazingSelected);

        if (SiteTable.empty())
            RaiseRuntime(ErrSubscript, kControlsSource);
        SiteTable[0].Name = GetLangString(177);
        FillCityList();
        LoadStudyTexts();
    });
}

void frmMain::mnuLangCmd_Click(int16_t Index) {
    Trap("frmMain:mnuLangCmd_Click", [this, Index] {
        if (Index == gLanguage)
            return;
        gLanguage = Index;
        for (int16_t i = 1; i <= 6; ++i)
            mnuLangCmd(i).SetChecked(false);
        mnuLangCmd(Index).SetChecked(true);
        LoadLanguage();
    });
}

// --- sites -------------------------------------------------------------------------------------------------

void frmMain::OpenGeoFile(const QString& fileName) {
    try {
        clsGeoFile reader;
        reader.OpenGeoFile(QFile::encodeName(fileName).toStdString(), SiteTable);
    } catch (const VbError& e) {
        // A message that cannot be looked up goes on to the caller's trap.
        if (e.Number() == ErrFileNotFound)
            MsgBox(seams_, this, L(180), QMessageBox::Warning, AppTitle());
        else
            ShowUnhandledError(seams_, this, "frmMain:OpenGeoFile;" + QString::fromStdString(e.Source()), e);
        return;
    }
    FillCityList();
}

void frmMain::FillCityList() {
    Trap("frmMain:FillCityList", [this] {
        int selection = 1;
        VbComboBox& sites = lstInput(0);
        sites.Clear();
        for (size_t i = 0; i < SiteTable.size(); ++i) {
            const QString name = QString::fromStdString(SiteTable[i].Name);
            sites.AddItem(name);
            if (name.contains(QStringLiteral("frankfurt"), Qt::CaseInsensitive))
                selection = static_cast<int>(i);
        }
        sites.SetListIndex(selection);
        // An open weather file keeps its own site.
        if (weather_)
            ShowWeatherSite();
    });
}

void frmMain::mnuFileCmd_Click(int16_t Index) {
    Trap("frmMain:mnuFileCmd_Click", [this, Index] {
        switch (Index) {
        case 0: {
            const QString fileName = seams_.files->GetOpenFileName(this, L(179), ToQtFilter(L(178)));
            if (!fileName.isEmpty())
                OpenGeoFile(fileName);
            break;
        }
        case 1:
            close();
            break;
        default:
            break;
        }
    });
}

void frmMain::mnuHelpCmd_Click(int16_t Index) {
    Q_UNUSED(Index);
    IgnoringErrors({
        [this] {
            if (gAboutDialog.isNull())
                gAboutDialog = new frmAbout(seams_, this);
        },
        [this] {
            if (!gAboutDialog.isNull())
                gAboutDialog->ShowAboutDlg(windowIcon());
        },
    });
}

// --- inputs and selections ---------------------------------------------------------------------------------

void frmMain::txtInput_GotFocus(int16_t Index) {
    Q_UNUSED(Index);
    modDialogHandler::SelectActiveText();
}

void frmMain::txtInput_KeyPress(int16_t Index, int16_t& KeyAscii) {
    const bool ok = Trap("frmMain:txtInput_KeyPress", [this, Index, &KeyAscii] {
        if (KeyAscii == 8)
            return;
        const char32_t typed = inputs::TypedCharacter(static_cast<inputs::FieldId>(Index),
                                                      static_cast<char32_t>(KeyAscii), Separator());
        if (typed != 0) {
            KeyAscii = static_cast<int16_t>(typed);
            return;
        }
        KeyAscii = 0;
    });
    // After a failure the field keeps its text.
    if (!ok)
        KeyAscii = 0;
}

void frmMain::txtInput_LostFocus(int16_t Index) {
    Trap("frmMain:txtInput_LostFocus", [this, Index] {
        const bool inRange =
            !inputs::RefusedOnLeave(static_cast<inputs::FieldId>(Index), Utf8(txtInput(Index).Text()), Separator());
        if (!inRange) {
            seams_.beep->Beep();
            txtInput(Index).SetFocus();
        }
    });
}

const GeoEntry& frmMain::SiteAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= SiteTable.size())
        RaiseRuntime(ErrSubscript, kControlsSource);
    return SiteTable[static_cast<size_t>(index)];
}

void frmMain::lstInput_Click(int16_t Index) {
    Trap("frmMain:lstInput_Click", [this, Index] {
        const int i = lstInput(Index).ListIndex();
        switch (Index) {
        case 0:
            if (i == 0) {
                txtInput(5).SetText(QString());
                txtInput(6).SetText(QString());
                txtInput(7).SetText(QString());
            } else if (i >= 1) {
                const GeoEntry& site = SiteAt(i);
                txtInput(5).SetText(QString::fromStdString(CStr(site.Longitude, Separator())));
                txtInput(6).SetText(QString::fromStdString(CStr(site.Latitude, Separator())));
                txtInput(7).SetText(QString::number(site.TimeDiffGMT));
            }
            txtInput(5).SetEnabled(i == 0);
            txtInput(6).SetEnabled(i == 0);
            txtInput(7).SetEnabled(i == 0);
            break;
        case 2:
            if (i == 0) {
                txtInput(9).SetText(QString());
            } else if (i >= 1) {
                if (static_cast<size_t>(i) >= TransmissionPresets.size())
                    RaiseRuntime(ErrSubscript, kControlsSource);
                const auto& preset = TransmissionPresets[static_cast<size_t>(i)];
                txtInput(9).SetText(preset ? QString::number(*preset) : QString());
            }
            txtInput(9).SetEnabled(i == 0);
            break;
        default:
            break;
        }
    });
}

void frmMain::tabWindowTyp_Click() {
    Trap("frmMain:tabWindowTyp_Click", [this] {
        const int selected = tabWindowTyp->SelectedItem();
        if (selected == CurrentPanel)
            return;
        CurrentPanel = static_cast<int16_t>(selected);
        picWindowType(1).setVisible(false);
        picWindowType(2).setVisible(false);
        picWindowType(3).setVisible(false);
        picWindowType(CurrentPanel).setVisible(true);
    });
}

// --- the calculation run -----------------------------------------------------------------------------------

void frmMain::cmdCalculate_Click() {
    Trap("frmMain:cmdCalculate_Click", [this] {
        const bool print = false;
        CalculateData(print);
    });
}

void frmMain::cmdPrint_Click() {
    Trap("frmMain:cmdPrint_Click", [this] {
        const bool print = true;
        CalculateData(print);
    });
}

inputs::RoomTexts frmMain::TextsOfWindow() {
    auto tag = [](const ControlArray<VbOptionButton>& group) {
        for (const auto& [index, option] : group.Elements()) {
            if (option->Value())
                return option->Tag().toInt();
        }
        return 0; // none checked: the conversion refuses it
    };
    inputs::RoomTexts room;
    room.separator = Separator();
    for (const inputs::FieldRule& rule : inputs::FieldRules())
        room.Field(rule.id) = Utf8(txtInput(static_cast<int16_t>(rule.id)).Text());
    room.Choice(inputs::ChoiceId::Period) = lstInput(1).ListIndex();
    room.Choice(inputs::ChoiceId::WindowType) = tabWindowTyp->SelectedItem();
    // The field shows the preset; a glazing list without an entry chosen reads the field as typed.
    room.Choice(inputs::ChoiceId::Glazing) = std::max(0, lstInput(2).ListIndex());
    room.Choice(inputs::ChoiceId::Band) = tag(optWindowArray);
    room.Choice(inputs::ChoiceId::Slope) = tag(optWindowSlope);
    if (const int site = lstInput(0).ListIndex(); site >= 1)
        room.siteName = SiteAt(site).Name;
    return room;
}

// A run the fields stop: the message of an incomplete input or of the hours' order, or the beep of the
// check on leaving for a value out of range.
void frmMain::RefuseRun(const inputs::InputRefusal& e) {
    if (e.Message() == 0) {
        seams_.beep->Beep();
        txtInput(static_cast<int16_t>(e.Field())).SetFocus();
        return;
    }
    Message(L(e.Message()));
    if (e.Message() != inputs::kMsgIncomplete)
        return;
    txtInput(0).SetFocus();
    // The field may have had the focus all along, so no entry selects its text.
    txtInput(0).selectAll();
}

void frmMain::CalculateData(const bool& blnPrintData) {
    lastRun_.reset();
    Trap("frmMain:CalculateData", [this, &blnPrintData] {
        clsInputOutput io;
        try {
            // The fields hold a chosen site's coordinates whole, so the run reads them, as it always has.
            inputs::RoomTexts room = TextsOfWindow();
            room.siteName.reset();
            io = inputs::ToCalculation(room, {});
        } catch (const inputs::InputRefusal& e) {
            RefuseRun(e);
            return;
        }
        io.DaylightSavingTime = chkDLSTime->isChecked();

        int16_t percent = 0;
        std::optional<QString> failure;
        try {
            percent = io.CalculateEnergySaving();
        } catch (const VbError& e) {
            percent = io.StoredPercent().value_or(0);
            failure = QString::fromStdString(e.Description());
        } catch (const std::exception& e) {
            percent = io.StoredPercent().value_or(0);
            failure = QString::fromUtf8(e.what());
        }
        lastRun_ = std::make_unique<clsInputOutput>(io);
        lastFailure_ = failure.value_or(QString());
        lblResult->SetCaption(QString::number(percent) + '%');
        if (!failure) {
            picResult->SetBackColor(kSuccessColor);
        } else {
            picResult->SetBackColor(kFailureColor);
            Message(*failure);
        }
        RefreshOverview();
        // A failing engine call prints too: the page then shows the red field.
        if (blnPrintData)
            seams_.printer->PrintForm(*centralWidget());
    });
}

} // namespace korvane::ui
