#include "frmAbout.h"

#include "VbControls.h"
#include "modLangConstants.h"

#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>

#include <array>
#include <cstring>
#endif

namespace korvane::ui {

QPointer<frmAbout> gAboutDialog;

namespace {

QString L(int16_t baseId) {
    return QString::fromStdString(GetLangString(baseId));
}

QFrame* CreateLine(QWidget* parent, int index, const QColor& color, int left, int top, int right, int width) {
    auto* line = new QFrame(parent);
    line->setObjectName(ElementName(QStringLiteral("Line1"), index));
    const QRect from = TwipsRect(left, top, right - left, 0);
    line->setGeometry(from.left(), from.top(), from.width(), width);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    return line;
}

#ifdef Q_OS_WIN
// The text of a registry value. A value that cannot be read yields false and an empty text; a 32-bit number
// is written in decimal; a value of any other type leaves `value` as it was.
bool ReadRegistryValue(HKEY root, const QString& keyPath, const QString& valueName, QString& value) {
    HKEY key = nullptr;
    // Read rights are enough here; asking for write rights as well is refused to users who are not
    // administrators, and the program would never find the tool for them.
    if (RegOpenKeyExW(root, reinterpret_cast<LPCWSTR>(keyPath.utf16()), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        value.clear();
        return false;
    }
    std::array<wchar_t, 1024> buffer{};
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(valueName.utf16()), nullptr, &type,
                                            reinterpret_cast<LPBYTE>(buffer.data()), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        value.clear();
        return false;
    }
    if (type == REG_SZ) {
        size_t length = bytes / sizeof(wchar_t);
        if (length > 0 && buffer[length - 1] == L'\0')
            --length;
        value = QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length));
    } else if (type == REG_DWORD && bytes >= sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, buffer.data(), sizeof number);
        value = QString::number(number);
    }
    return true;
}
#endif

} // namespace

QString ProgramVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(KORVANE_VERSION_MAJOR)
        .arg(KORVANE_VERSION_MINOR)
        .arg(KORVANE_VERSION_PATCH);
}

std::optional<QString> FindSystemInformationProgram() {
#ifdef Q_OS_WIN
    QString path;
    if (ReadRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                          QStringLiteral("PATH"), path))
        return path;
    if (ReadRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                          QStringLiteral("MSINFO"), path) &&
        QFileInfo::exists(path + QStringLiteral("\\MSINFO32.EXE")))
        return path + QStringLiteral("\\MSINFO32.EXE");
    return std::nullopt;
#else
    for (const char* name : {"kinfocenter", "hardinfo", "gnome-system-monitor"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return std::nullopt;
#endif
}

frmAbout::frmAbout(const Seams& seams, QWidget* parent) : QDialog(parent), seams_(seams) {
    CreateControls();
    Form_Load();
}

void frmAbout::CreateControls() {
    setObjectName(QStringLiteral("frmAbout"));
    if (parentWidget() != nullptr)
        setFont(parentWidget()->font());
    setFixedSize(TwipsRect(0, 0, 5730, 3555).size());

    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);

    imgSymbol = new QLabel(this);
    imgSymbol->setObjectName(QStringLiteral("imgSymbol"));
    imgSymbol->setScaledContents(true);
    PlaceTwips(*imgSymbol, 180, 180, 675, 675);

    lblTitle = new VbLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setPalette(black);
    QFont titleFont = font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    PlaceTwips(*lblTitle, 1050, 240, 3885, 480);

    lblVersion = new VbLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    PlaceTwips(*lblVersion, 1050, 780, 3885, 225);

    txtDescription = new QPlainTextEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setReadOnly(true);
    txtDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette buttonFace = txtDescription->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    txtDescription->setPalette(buttonFace);
    PlaceTwips(*txtDescription, 1020, 1080, 4215, 1275);

    CreateLine(this, 1, QColor(128, 128, 128), 90, 2445, 5654, 1);
    CreateLine(this, 0, Qt::white, 105, 2460, 5654, 2);

    lblDisclaimer = new VbLabel(this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setPalette(black);
    PlaceTwips(*lblDisclaimer, 255, 2625, 3870, 825);

    // The two buttons speak English in every language.
    cmdOK = new VbCommandButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setText(QStringLiteral("OK"));
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(true);
    PlaceTwips(*cmdOK, 4245, 2625, 1260, 345);
    cmdOK->click = [this] { cmdOK_Click(); };

    cmdSysInfo = new VbCommandButton(this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setText(QStringLiteral("&System Info..."));
    // Enter on the focused button presses it, as on every dialog button.
    cmdSysInfo->setAutoDefault(true);
    PlaceTwips(*cmdSysInfo, 4260, 3075, 1245, 345);
    cmdSysInfo->click = [this] { cmdSysInfo_Click(); };

    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, txtDescription);
    cmdOK->setFocus();
}

void frmAbout::Form_Load() {
    IgnoringErrors({
        [this] { setWindowTitle(L(181) + AppTitle()); },
        [this] { lblVersion->SetCaption(L(182) + ProgramVersion()); },
        [this] { lblTitle->SetCaption(AppTitle()); },
        [this] { txtDescription->setPlainText(DisplayText(L(183))); },
        [this] { lblDisclaimer->SetCaption(L(184)); },
    });
}

void frmAbout::ShowAboutDlg(const QIcon& picIcon) {
    Trapped(seams_, this, "frmAbout:ShowAboutDlg", [this, &picIcon] {
        imgSymbol->setPixmap(picIcon.pixmap(imgSymbol->size()));
        exec();
    });
    if (gAboutDialog == this)
        gAboutDialog.clear();
    deleteLater();
}

void frmAbout::reject() {
    cmdOK->click();
}

void frmAbout::cmdOK_Click() {
    IgnoringErrors({
        [this] { done(QDialog::Accepted); },
        [] { gAboutDialog.clear(); },
    });
}

void frmAbout::cmdSysInfo_Click() {
    RunSystemInformation();
}

void frmAbout::RunSystemInformation() {
    bool started = false;
    try {
        // Started directly, not through a shell, and left to run on its own.
        if (const auto program = FindSystemInformationProgram())
            started = !program->isEmpty() && QProcess::startDetached(*program, {});
    } catch (const std::exception&) {
        started = false;
    }
    if (!started)
        seams_.messages->Show(this, AppTitle(),
                              QStringLiteral("System Information Is Unavailable At This Time"),
                              QMessageBox::NoIcon, QMessageBox::Ok);
}

} // namespace korvane::ui
