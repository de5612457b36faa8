#pragma once
// What the windows need of the desktop beyond their own controls: message boxes, the file-open dialog, the
// system beep, the per-user settings store and the printer. Each is an interface so that tests can see
// exactly what a user would see; the Qt implementations are the real thing.

#include <QMessageBox>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>

class QPainter;
class QRectF;
class QWidget;

namespace korvane {
class VbError;
}

namespace korvane::ui {

// The program's title: message boxes without a title of their own show it, and the settings live under it.
QString AppTitle();

class MessageBoxSeam {
  public:
    virtual ~MessageBoxSeam() = default;
    // Shows a modal message and returns the button the user pressed.
    virtual QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                             QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons) = 0;
};

class FileDialogSeam {
  public:
    virtual ~FileDialogSeam() = default;
    // The full path of an existing file the user chose, or an empty text when the dialog was cancelled.
    // `filter` is in Qt's form ("Geo files (*.geo)").
    virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // The full path the user chose to write, or an empty text when cancelled; `suggested` is shown first.
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& suggested) = 0;
};

class FileWriterSeam {
  public:
    virtual ~FileWriterSeam() = default;
    // Replaces the regular file at `path` (or makes a new one) with `bytes` whole or not at all; anything
    // else there (OutputTarget) is refused. Raises VbError 75 with the system's reason when it cannot.
    virtual void WriteFile(const QString& path, const QByteArray& bytes) = 0;
};

class BeepSeam {
  public:
    virtual ~BeepSeam() = default;
    virtual void Beep() = 0;
};

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when there is none. Raises VbError when the store cannot be read.
    virtual std::optional<QString> GetSetting(const QString& appName, const QString& section,
                                              const QString& key) = 0;
    // Raises VbError when the store cannot be written.
    virtual void SaveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
};

class PrinterSeam {
  public:
    virtual ~PrinterSeam() = default;
    // Prints the image of `form` as it looks now on one page of the default printer, without asking
    // anything. Raises VbError 482 "Printer error" when there is no default printer or it refuses the job.
    virtual void PrintForm(QWidget& form) = 0;
    // Asks for a printer in the printer dialog and prints one A4 page that `paint` draws into the given
    // rectangle (painter coordinates). False when the user cancelled; raises 482 when the job fails.
    virtual bool PrintPage(QWidget* parent, const std::function<void(QPainter&, const QRectF&)>& paint) = 0;
};

// The seams a window works with; none may be null.
struct Seams {
    MessageBoxSeam* messages;
    FileDialogSeam* files;
    BeepSeam* beep;
    SettingsStore* settings;
    PrinterSeam* printer;
    FileWriterSeam* writer;
};

// The real desktop: QMessageBox, QFileDialog, QApplication::beep, QSettings, the printers, the file writer.
Seams DesktopSeams();

class QtMessageBox final : public MessageBoxSeam {
  public:
    QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override;
};

class QtFileDialog final : public FileDialogSeam {
  public:
    QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& suggested) override;
};

// Written beside the target under a short temporary name, on disk, then renamed over it.
class QtFileWriter final : public FileWriterSeam {
  public:
    void WriteFile(const QString& path, const QByteArray& bytes) override;
};

class QtBeep final : public BeepSeam {
  public:
    void Beep() override;
};

// QSettings in the native format of the user scope. On Linux the file "<app>.conf" in the user's
// configuration folder with one [section] per section; on Windows the branch that the classic runtime's
// per-user settings used, HKCU\Software\VB and VBA Program Settings\<app>\<section>, so that a language
// stored there by the earlier program carries over.
class QtSettingsStore final : public SettingsStore {
  public:
    std::optional<QString> GetSetting(const QString& appName, const QString& section,
                                      const QString& key) override;
    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
};

// QPrinter on the default printer at the printer's own resolution. Where CUPS is the print system the page
// is handed to it here rather than by Qt, which does not pass on the server's refusal of a job.
class QtPrinter final : public PrinterSeam {
  public:
    void PrintForm(QWidget& form) override;
    bool PrintPage(QWidget* parent, const std::function<void(QPainter&, const QRectF&)>& paint) override;
};

// Draws `form` and its children into `printable` (painter coordinates): scaled evenly to the full width,
// or to the full height when it would run past the bottom, at the top and centred across. Widgets are
// drawn afresh at the painter's resolution, not copied from the screen.
void PaintForm(QWidget& form, QPainter& painter, const QRectF& printable);

// A message box with only an OK button; an empty title shows the program's title.
void MsgBox(const Seams& seams, QWidget* parent, const QString& text, QMessageBox::Icon icon,
            const QString& title = {});

// The trap's report of an error: "Unhandled Error", CR LF, the number, CR LF, the description, with the
// exclamation icon under the title `label` ("object:procedure").
void ShowUnhandledError(const Seams& seams, QWidget* parent, const QString& label, const VbError& error);

// Runs a procedure body under the "Unhandled Error" trap: a VbError (or any other exception, reported as
// error 51 "Internal error") is shown under `label`, and the procedure is left. True when the body ran to
// its end.
bool Trapped(const Seams& seams, QWidget* parent, const char* label, const std::function<void()>& body);

// Runs each step in turn; a step that fails is skipped and the next one runs, and nothing is reported.
void IgnoringErrors(std::initializer_list<std::function<void()>> steps);

// A filter of the classic form "description|pattern|description|pattern" in Qt's form, entries separated by
// ";;": "description (pattern)", or the description alone when it already ends with "(pattern)". Patterns
// separated by ";" are separated by blanks.
QString ToQtFilter(const QString& classicFilter);

// Plain text as a widget shows it: CR LF and lone CR become line feeds.
QString DisplayText(const QString& text);

} // namespace korvane::ui
