#pragma once
// Test doubles of the desktop seams: they record what a user would have seen and answer as told.

#include "Seams.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace korvane::ui::test {

struct ShownMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

class RecordingMessageBox final : public MessageBoxSeam {
  public:
    QMessageBox::StandardButton Show(QWidget*, const QString& title, const QString& text,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override {
        shown.push_back({title, text, icon, buttons});
        return QMessageBox::Ok;
    }
    std::vector<ShownMessage> shown;
};

class ScriptedFileDialog final : public FileDialogSeam {
  public:
    QString GetOpenFileName(QWidget*, const QString& title, const QString& filter) override {
        titles << title;
        filters << filter;
        return nextFileName;
    }
    QString nextFileName;
    QStringList titles;
    QStringList filters;
};

class CountingBeep final : public BeepSeam {
  public:
    void Beep() override { ++count; }
    int count = 0;
};

class MemorySettings final : public SettingsStore {
  public:
    std::optional<QString> GetSetting(const QString& appName, const QString& section,
                                      const QString& key) override {
        const auto it = values.find(appName + '|' + section + '|' + key);
        return it == values.end() ? std::nullopt : std::optional<QString>(it->second);
    }
    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override {
        values[appName + '|' + section + '|' + key] = value;
        ++saves;
    }
    // The language as the program stores it.
    std::optional<QString> Language() { return GetSetting(AppTitle(), "Settings", "Language"); }
    void SetLanguage(const QString& value) { values[AppTitle() + "|Settings|Language"] = value; }

    std::map<QString, QString> values;
    int saves = 0;
};

// All four doubles together.
struct FakeDesktop {
    RecordingMessageBox messages;
    ScriptedFileDialog files;
    CountingBeep beep;
    MemorySettings settings;
    Seams seams() { return Seams{&messages, &files, &beep, &settings}; }
};

} // namespace korvane::ui::test
