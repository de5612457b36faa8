#include "Seams.h"

#include "VbError.h"

#include <QApplication>
#include <QFileDialog>
#include <QSettings>

#include <exception>
#include <memory>

namespace korvane::ui {

namespace {

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

void RaiseOnStoreFailure(const QSettings& store, const char* source) {
    if (store.status() != QSettings::NoError)
        Raise(kErrPathFileAccess, source, "Path/File access error");
}

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

Seams DesktopSeams() {
    static QtMessageBox messages;
    static QtFileDialog files;
    static QtBeep beep;
    static QtSettingsStore settings;
    return Seams{&messages, &files, &beep, &settings};
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
