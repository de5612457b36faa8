#pragma once
// The program's working window: every input of a calculation, the result, and the commands.

#include "GeoEntry.h"
#include "Seams.h"
#include "VbControls.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QMenu;

namespace korvane {
class clsInputOutput;
}
namespace korvane::room {
struct Room;
}
namespace korvane::inputs {
struct RoomTexts;
class InputRefusal;
} // namespace korvane::inputs
namespace korvane::report {
class MonthlyOverview;
struct StudyReport;
struct WeatherSkyPeriods;
} // namespace korvane::report
namespace korvane::weather {
struct WeatherYear;
}

namespace korvane::ui {

class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // Creating the window builds its controls and prepares its tables (Form_Initialize). DEFAULT.GEO is
    // looked up in `programFolder`, the executable's own folder unless a test says otherwise.
    explicit frmMain(const Seams& seams, QString programFolder = QString(), QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs Form_Load, once; the window is then ready to be shown.
    void Load();
    // Loads the window if need be, shows it centred on the screen and returns when it has been closed.
    void ShowModal();
    // Fills the window from a room file as if typed and calculates; a file that cannot be used is reported
    // and leaves every field as it was. True when the room was taken.
    bool OpenRoomFile(const QString& fileName);

  signals:
    void Unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Creation and the window's life.
    void CreateControls();
    // The form's sections: working hours, period, room and site; the result; glazing and the window-type
    // tabs; the tabs' panels; buttons and menus; the focus order.
    void CreateInputFrames(QWidget* client);
    void CreateResult(QWidget* client);
    void CreateGlazingAndWindowTypes(QWidget* client);
    void CreateWindowPanels();
    void CreateButtonsAndMenus(QWidget* client);
    void SetFocusOrder();
    // One control placed in twips into its array.
    VbTextBox* PutField(int16_t index, QWidget* parent, int left, int top, int width);
    static VbLabel* PutLabel(ControlArray<VbLabel>& array, int16_t index, QWidget* parent,
                             const QString& text, int left, int top, int width, int height,
                             Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    VbLabel* PutNameLabel(int16_t index, QWidget* parent, int baseId, int left, int top, int width,
                          int height, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    VbLabel* PutUnit(int16_t index, QWidget* parent, const char* text, int left, int top);
    VbFrame* PutFrame(QWidget* client, int16_t index, const QString& caption, int left, int top, int width,
                      int height);
    VbComboBox* PutList(int16_t index, QWidget* parent, int left, int top, int width);
    static VbOptionButton* PutOption(ControlArray<VbOptionButton>& array, int16_t index, QWidget* parent,
                                     const char* caption, const char* tag, int left, int top, int width,
                                     int height);
    void ConnectEvents();
    void Form_Initialize();
    void Form_Load();
    void Form_Unload();

    // Settings and language.
    void LoadSettings();
    void SaveSettings();
    void LoadLanguage();
    void mnuLangCmd_Click(int16_t Index);

    // Sites.
    void OpenGeoFile(const QString& fileName);
    void FillCityList();
    void mnuFileCmd_Click(int16_t Index);
    void mnuHelpCmd_Click(int16_t Index);

    // Inputs and selections.
    void txtInput_GotFocus(int16_t Index);
    void txtInput_KeyPress(int16_t Index, int16_t& KeyAscii);
    void txtInput_LostFocus(int16_t Index);
    void lstInput_Click(int16_t Index);
    void tabWindowTyp_Click();

    // The calculation run.
    inputs::RoomTexts TextsOfWindow();
    void RefuseRun(const inputs::InputRefusal& e);
    void CalculateData(const bool& blnPrintData);
    void cmdCalculate_Click();
    void cmdPrint_Click();

    // Room files, the monthly overview and the report.
    void CreateStudyCommands();
    void LoadStudyTexts();
    void OpenRoom();
    bool SaveRoom(bool askForName);
    // What the window holds of a room, to tell whether it still agrees with its file.
    QStringList RoomState() const;
    void NoteRoomChange();
    // The room now agrees with fileName, which the title names.
    void TakeRoomFile(const QString& fileName);
    // True when fileName may be written: the user agreed to replace an existing file that the dialog did
    // not ask about (the name chosen there had no suffix).
    bool MayReplace(const QString& chosen, const QString& fileName);
    // True when the window may close: the open room has no unsaved changes, or the user saved or
    // discarded them.
    bool MayClose();
    room::Room RoomOfWindow();
    void ShowRoom(const room::Room& room);
    // The weather file: read through the core's reader, or a message and nothing changed; true when taken.
    void OpenWeather();
    bool OpenWeatherFile(const QString& fileName);
    void CloseWeather();
    // The site fields hold the weather file's site and are locked while it is open.
    void ShowWeatherSite();
    void ShowWeatherFailure(const QString& fileName, const VbError& e);
    // The weather sky's thirteen periods of the last run, with their texts; nothing without a file.
    std::optional<report::WeatherSkyPeriods> WeatherPeriods();
    void ShowOverview();
    void RefreshOverview();
    bool StudyReady();
    report::StudyReport ReportOfWindow();
    void ExportReport();
    void PrintReport();

    const GeoEntry& SiteAt(int index) const;
    bool Trap(const char* label, const std::function<void()>& body);
    void Message(const QString& text);

    Seams seams_;
    QString programFolder_;
    bool loaded_ = false;

    std::vector<GeoEntry> SiteTable;
    std::array<std::optional<int16_t>, 4> TransmissionPresets;
    int16_t CurrentPanel = 0;

    ControlArray<VbTextBox> txtInput{"txtInput"};
    ControlArray<VbLabel> lblInput{"lblInput"};
    ControlArray<VbLabel> lblUnit{"lblUnit"};
    ControlArray<VbComboBox> lstInput{"lstInput"};
    ControlArray<VbFrame> fraRange{"fraRange"};
    ControlArray<VbPictureBox> picWindowType{"picWindowType"};
    ControlArray<VbOptionButton> optWindowArray{"optWindowArray"};
    ControlArray<VbOptionButton> optWindowSlope{"optWindowSlope"};
    ControlArray<VbLabel> lblInformation{"lblInformation"};
    ControlArray<VbMenuItem> mnuFileCmd{"mnuFileCmd"};
    ControlArray<VbMenuItem> mnuLangCmd{"mnuLangCmd"};
    ControlArray<VbMenuItem> mnuHelpCmd{"mnuHelpCmd"};

    VbTabStrip* tabWindowTyp = nullptr;
    QCheckBox* chkDLSTime = nullptr;
    VbCommandButton* cmdCalculate = nullptr;
    VbCommandButton* cmdPrint = nullptr;
    VbPictureBox* picResult = nullptr;
    VbLabel* lblResult = nullptr;
    QWidget* Image1 = nullptr;
    QWidget* Image2 = nullptr;
    QWidget* Image4 = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuLang = nullptr;
    QMenu* mnuHelp = nullptr;

    QAction* mnuOpenRoom = nullptr;
    QAction* mnuSaveRoom = nullptr;
    QAction* mnuSaveRoomAs = nullptr;
    QAction* mnuExportReport = nullptr;
    QAction* mnuPrintReport = nullptr;
    QMenu* mnuStudy = nullptr;
    QAction* mnuMonthlyOverview = nullptr;
    QAction* mnuOpenWeather = nullptr;
    QAction* mnuCloseWeather = nullptr;
    // The open weather file (absolute) and its year; empty and null when none is open.
    QString weatherFile_;
    std::shared_ptr<const weather::WeatherYear> weather_;
    QString roomFile_;
    QStringList savedState_;
    QPointer<report::MonthlyOverview> overview_;
    // The inputs of the last calculation that reached the engine, and the model's message it gave, if any.
    std::unique_ptr<clsInputOutput> lastRun_;
    QString lastFailure_;
};

} // namespace korvane::ui
