#pragma once
// The main window on the fake desktop, started as the program starts it, and what its tests look at.

#include "FakeSeams.h"
#include "VbControls.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace korvane::ui::test {

inline QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

inline const QString kAppTitle = QStringLiteral("KORVANE Energy");
inline const QColor kGreen(0, 192, 0);
inline const QColor kRed(255, 0, 0);
inline constexpr char kLanguageKeys[] = "DEFINS"; // Ctrl+key chooses language 1 to 6

inline bool Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a tool to its end, at most 60 seconds: its exit code (-1 when it did not end) and its output.
inline std::pair<int, QString> Tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (!ended)
        process.kill();
    return {ended ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput())};
}

// Pixels of a colour, each channel within the tolerance.
inline int CountNear(const QImage& image, const QColor& color, int tolerance = 0) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - color.red()) <= tolerance &&
                     qAbs(c.green() - color.green()) <= tolerance &&
                     qAbs(c.blue() - color.blue()) <= tolerance;
        }
    return count;
}

struct Window {
    FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    // A fresh program's globals, with this decimal separator; the fake settings hold the stored language, if
    // any, unless a settings store is given; pages go to the image printer unless a printer is given.
    explicit Window(std::optional<QString> language = std::nullopt, const QString& folder = QString(),
                    SettingsStore* settings = nullptr, const std::string& separator = ",",
                    PrinterSeam* printer = nullptr) {
        gLanguage = 0;
        gDecimalSeparator = separator;
        if (language)
            desktop.settings.SetLanguage(*language);
        Seams seams = desktop.seams();
        seams.settings = settings != nullptr ? settings : seams.settings;
        seams.printer = printer != nullptr ? printer : seams.printer;
        window = std::make_unique<frmMain>(seams, folder);
        window->Load();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("window not active");
    }
    template <class T> T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbTextBox* Field(int i) const { return Find<VbTextBox>(ElementName("txtInput", i)); }
    VbComboBox* List(int i) const { return Find<VbComboBox>(ElementName("lstInput", i)); }
    VbTabStrip* Tabs() const { return Find<VbTabStrip>("tabWindowTyp"); }
    QString Result() const { return Find<QLabel>("lblResult")->text(); }
    QColor ResultColor() const { return Find<VbPictureBox>("picResult")->BackColor(); }
    QString Calculate() const { return Find<QPushButton>("cmdCalculate")->text(); }
    void Click(const QString& button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void ClickTab(int tab) const {
        QTest::mouseClick(Tabs()->tabBar(), Qt::LeftButton, {}, Tabs()->tabBar()->tabRect(tab - 1).center());
    }
    // A menu command, its file dialog (if any) answering `file`.
    void Menu(const QString& action, const QString& file = QString()) {
        desktop.files.nextFileName = desktop.files.nextSaveName = file;
        Find<QAction>(action)->trigger();
    }
    void Key(char letter, QWidget* to = nullptr) const {
        QTest::keyClick(to ? to : window.get(), Qt::Key(Qt::Key_A + letter - 'A'), Qt::ControlModifier);
    }
    std::vector<ShownMessage>& Messages() { return desktop.messages.shown; }
    // Each message as "title|text", or its title only.
    QStringList Shown(bool titles = false) const {
        QStringList shown;
        for (const auto& m : desktop.messages.shown)
            shown << (titles ? m.title : m.title + '|' + m.text);
        return shown;
    }
    QStringList Items(int list) const {
        QStringList items;
        for (int i = 0; i < List(list)->count(); ++i)
            items << List(list)->itemText(i);
        return items;
    }
};

} // namespace korvane::ui::test
