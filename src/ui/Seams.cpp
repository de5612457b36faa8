#include "Seams.h"

#include "OutputTarget.h"
#include "UnfinishedFiles.h"
#include "VbError.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>

#ifdef KORVANE_HAVE_CUPS
#include <cups/cups.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane::ui {

namespace {

#ifndef Q_OS_WIN
// What the system gives a file that open() creates: 0666 less the umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
#endif

constexpr int32_t kErrInternal = 51;
constexpr int32_t kErrPathFileAccess = 75;

std::unique_ptr<QSettings> OpenStore(const QString& appName) {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\" + appName,
                                       QSettings::NativeFormat);
#else
    // An organisation without an application name gives "<config folder>/<appName>.conf".
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, appName);
#endif
}

// A store that could not be read or written. A damaged file is no failure: QSettings keeps the entries it
// could read, and writing replaces the file whole, so a readable language is neither refused nor lost.
void RaiseOnStoreFailure(const QSettings& store, const char* source) {
    if (store.status() == QSettings::AccessError)
        Raise(kErrPathFileAccess, source, "Path/File access error");
}

[[noreturn]] void RaisePrinterError() {
    RaiseRuntime(ErrPrinter, AppTitle().toStdString());
}

using PagePainter = std::function<void(QPainter&, const QRectF&)>;

bool PaintPage(const PagePainter& paint, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // With the margins kept, the painter's origin is the top left of the printable area.
    paint(painter, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
    return painter.end();
}

#ifdef KORVANE_HAVE_CUPS
// Hands a finished PDF to CUPS with the queue's own default options, as lp does. A queue that is not
// accepting jobs, a server that cannot be reached, or any other refusal raises 482.
void SubmitToCups(const QString& printerName, const QString& file, const QPageLayout& layout) {
    // "queue/instance" names an instance of a queue with options of its own.
    const QByteArray queue = printerName.section('/', 0, 0).toLocal8Bit();
    const QByteArray instance = printerName.section('/', 1).toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    int optionCount = 0;
    cups_option_t* options = nullptr;
    if (dest != nullptr) {
        for (int i = 0; i < dest->num_options; ++i)
            optionCount = cupsAddOption(dest->options[i].name, dest->options[i].value, optionCount, &options);
        cupsFreeDests(1, dest);
    }
    const QByteArray media = layout.pageSize().key().toLocal8Bit();
    optionCount = cupsAddOption("media", media.constData(), optionCount, &options);
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(file).constData(),
                                  AppTitle().toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0)
        RaisePrinterError();
}
#endif

} // namespace

QString AppTitle() {
    return QStringLiteral("KORVANE Energy");
}

QMessageBox::StandardButton QtMessageBox::Show(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, DisplayText(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtFileDialog::GetOpenFileName(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtFileDialog::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                      const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void QtFileWriter::WriteFile(const QString& path, const QByteArray& bytes) {
    // Qt may only say "Unknown error" (a full disk); the system's reason is in errno then, cleared before
    // each step.
    const auto fail = [](const QString& why) {
        Raise(kErrPathFileAccess, "FileWriter", errno != 0 ? std::strerror(errno) : why.toStdString());
    };
    // Replacing would follow a link to the file behind it and put a regular file in a device's place.
    const auto examine = [&](const QString& stream) {
        errno = 0;
        const OutputTarget t = ExamineTarget(QFile::encodeName(path).toStdString());
        if (t.kind == OutputTarget::Kind::Refused)
            fail(QString::fromStdString(t.reason));
        if (t.kind == OutputTarget::Kind::Stream)
            fail(stream);
        return t;
    };
    const OutputTarget target = examine(QStringLiteral("not a regular file"));
    // A short name of its own beside the target: QSaveFile's adds 7 bytes to a name that may be at the limit.
    QTemporaryFile file(QFileInfo(path).dir().filePath(QStringLiteral(".korvane-XXXXXX")));
    errno = 0;
    if (!file.open())
        fail(file.errorString());
    // Held for an interrupt to remove, and let go before the file is renamed away or removed with it.
    const struct Held {
        std::string name;
        ~Held() { UnregisterUnfinished(name); }
    } held{QFile::encodeName(file.fileName()).toStdString()};
    RegisterUnfinished(held.name);
    // Buffered bytes reach the file only at flush: a full disk shows there, before the rename.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail(file.errorString());
#ifdef Q_OS_WIN
    // Qt may hold a native handle only (no descriptor): then the system's own flush at close must do.
    const std::filesystem::path from = file.fileName().toStdWString(), to = path.toStdWString();
    if (file.handle() >= 0 && ::_commit(file.handle()) != 0)
        fail(file.errorString());
#else
    const std::filesystem::path from = QFile::encodeName(file.fileName()).toStdString(),
                                to = QFile::encodeName(path).toStdString();
    const mode_t mode = target.kind == OutputTarget::Kind::Regular ? target.mode : NewFileMode();
    if (::fchmod(file.handle(), mode) != 0 || ::fsync(file.handle()) != 0)
        fail(file.errorString());
#endif
    file.close();
    // Whatever took the target's place meanwhile is looked at again: a FIFO or a link is not replaced.
    examine(QStringLiteral("not a regular file any more"));
    // Renamed only once on disk; a failure on the way leaves the old file, and the temporary one is removed.
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec) {
        errno = 0;
        fail(QString::fromStdString(ec.message()));
    }
    file.setAutoRemove(false);
    SyncFolderOf(QFile::encodeName(path).toStdString());
}

void QtBeep::Beep() {
    QApplication::beep();
}

std::optional<QString> QtSettingsStore::GetSetting(const QString& appName, const QString& section,
                                                   const QString& key) {
    const auto store = OpenStore(appName);
    RaiseOnStoreFailure(*store, "GetSetting");
    const QVariant value = store->value(section + '/' + key);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void QtSettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                  const QString& value) {
    const auto store = OpenStore(appName);
    store->setValue(section + '/' + key, value);
    store->sync();
    RaiseOnStoreFailure(*store, "SaveSetting");
}

namespace {

// Prints one page on `printer`. Where CUPS is the print system the page goes to it as a PDF, so that a
// refused job is noticed.
void PrintOnePage(QPrinter& printer, const QString& printerName, const PagePainter& paint) {
    printer.setDocName(AppTitle());
#ifdef KORVANE_HAVE_CUPS
    QTemporaryDir folder;
    if (!folder.isValid())
        RaisePrinterError();
    QPrinter page(QPrinter::HighResolution);
    page.setOutputFormat(QPrinter::PdfFormat);
    page.setOutputFileName(folder.filePath(QStringLiteral("page.pdf")));
    page.setDocName(AppTitle());
    page.setResolution(printer.resolution());
    page.setPageLayout(printer.pageLayout());
    if (!PaintPage(paint, page))
        RaisePrinterError();
    SubmitToCups(printerName, page.outputFileName(), page.pageLayout());
#else
    Q_UNUSED(printerName);
    if (!PaintPage(paint, printer) || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted)
        RaisePrinterError();
#endif
}

} // namespace

void QtPrinter::PrintForm(QWidget& form) {
    // A printer object without a default printer still says it is valid and fails only when painting
    // begins, so the default printer is asked first.
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull())
        RaisePrinterError();
    QPrinter printer(target, QPrinter::HighResolution);
    PrintOnePage(printer, target.printerName(), [&form](QPainter& painter, const QRectF& printable) {
        PaintForm(form, painter, printable);
    });
}

bool QtPrinter::PrintPage(QWidget* parent, const PagePainter& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // "Print to file" in the dialog: Qt writes the file itself.
        if (!PaintPage(paint, printer))
            RaisePrinterError();
        return true;
    }
    PrintOnePage(printer, printer.printerName(), paint);
    return true;
}

void PaintForm(QWidget& form, QPainter& painter, const QRectF& printable) {
    const QSizeF size = form.size();
    if (size.isEmpty() || printable.isEmpty())
        return;
    const double scale = std::min(printable.width() / size.width(), printable.height() / size.height());
    painter.save();
    painter.translate(printable.left() + (printable.width() - size.width() * scale) / 2, printable.top());
    painter.scale(scale, scale);
    form.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.restore();
}

Seams DesktopSeams() {
    static QtMessageBox messages;
    static QtFileDialog files;
    static QtBeep beep;
    static QtSettingsStore settings;
    static QtPrinter printer;
    static QtFileWriter writer;
    return Seams{&messages, &files, &beep, &settings, &printer, &writer};
}

void MsgBox(const Seams& seams, QWidget* parent, const QString& text, QMessageBox::Icon icon,
            const QString& title) {
    seams.messages->Show(parent, title.isEmpty() ? AppTitle() : title, text, icon, QMessageBox::Ok);
}

void ShowUnhandledError(const Seams& seams, QWidget* parent, const QString& label, const VbError& error) {
    const QString text = QStringLiteral("Unhandled Error\r\n") + QString::number(error.Number()) +
                         QStringLiteral("\r\n") + QString::fromStdString(error.Description());
    MsgBox(seams, parent, text, QMessageBox::Warning, label);
}

bool Trapped(const Seams& seams, QWidget* parent, const char* label, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const VbError& e) {
        ShowUnhandledError(seams, parent, QString::fromUtf8(label), e);
    } catch (const std::exception& e) {
        ShowUnhandledError(seams, parent, QString::fromUtf8(label), VbError(kErrInternal, label, e.what()));
    }
    return false;
}

void IgnoringErrors(std::initializer_list<std::function<void()>> steps) {
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception&) {
            // Skipped on purpose: these procedures go on with their next step.
        }
    }
}

QString ToQtFilter(const QString& classicFilter) {
    const QStringList parts = classicFilter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        if (description.endsWith('(' + patterns + ')'))
            entries << description;
        else
            entries << description + QStringLiteral(" (") + patterns + ')';
    }
    return entries.join(QStringLiteral(";;"));
}

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace('\r', '\n');
    return shown;
}

} // namespace korvane::ui
