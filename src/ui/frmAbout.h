#pragma once
// The About dialog: the program's name, version and disclaimer, and a button that starts the system's
// information program.

#include "Seams.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <optional>

class QIcon;
class QLabel;
class QPlainTextEdit;

namespace korvane::ui {

class VbCommandButton;
class VbLabel;

class frmAbout : public QDialog {
    Q_OBJECT

  public:
    // Creating the dialog loads it: the texts are taken in the language current at that moment.
    explicit frmAbout(const Seams& seams, QWidget* parent = nullptr);

    // Shows the dialog modally with `picIcon` as its picture and returns when it has been closed. The dialog
    // is then unloaded and deleted, so that the next showing builds it anew.
    void ShowAboutDlg(const QIcon& picIcon);

    // Starts the system information program as a process of its own without waiting for it, or says that
    // there is none.
    void RunSystemInformation();

  protected:
    // Esc and the close box press OK, as Enter does.
    void reject() override;

  private:
    void CreateControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    Seams seams_;
    QLabel* imgSymbol = nullptr;
    VbLabel* lblTitle = nullptr;
    VbLabel* lblVersion = nullptr;
    QPlainTextEdit* txtDescription = nullptr;
    VbLabel* lblDisclaimer = nullptr;
    VbCommandButton* cmdOK = nullptr;
    VbCommandButton* cmdSysInfo = nullptr;
};

// The About dialog while it exists, empty otherwise.
extern QPointer<frmAbout> gAboutDialog;

// The version line's number: major, minor and revision, "1.9.53".
QString ProgramVersion();

// Where the system information program is on this system: on Windows the path the registry names, elsewhere
// the first of kinfocenter, hardinfo and gnome-system-monitor found on PATH. Nothing when there is none.
std::optional<QString> FindSystemInformationProgram();

} // namespace korvane::ui
