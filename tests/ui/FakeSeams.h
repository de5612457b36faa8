#pragma once
// Test doubles of the desktop seams: they record what a user would have seen and answer as told.

#include "Seams.h"
#include "VbError.h"

#include <QImage>
#include <QPainter>
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
        if (answers.empty())
            return QMessageBox::Ok;
        const auto answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<ShownMessage> shown;
    std::vector<QMessageBox::StandardButton> answers; // given in turn, then Ok
};

class ScriptedFileDialog final : public FileDialogSeam {
  public:
    QString GetOpenFileName(QWidget*, const QString& title, const QString& filter) override {
        titles << title;
        filters << filter;
        return nextFileName;
    }
    QString GetSaveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        titles << title;
        return nextSaveName;
    }
    QString nextFileName;
    QString nextSaveName;
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
    std::optional<QString> GetSetting(const QString& app, const QString& section,
                                      const QString& key) override {
        const auto it = values.find(app + '|' + section + '|' + key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        values[app + '|' + section + '|' + key] = value;
    }
    // The language as the program stores it.
    std::optional<QString> Language() { return GetSetting(AppTitle(), "Settings", "Language"); }
    void SetLanguage(const QString& value) { SaveSetting(AppTitle(), "Settings", "Language", value); }

    std::map<QString, QString> values;
};

// A printer that keeps each page as an image, or refuses every job as a printer without paper does.
class ImagePrinter final : public PrinterSeam {
  public:
    // The form painted into the printable part of a white page, as a printer paints it.
    static QImage Paint(QWidget& form, QSize size, const QRectF& printable) {
        QImage page(size, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        PaintForm(form, painter, printable);
        painter.end();
        return page;
    }
    void PrintForm(QWidget& form) override {
        if (refuse)
            RaiseRuntime(ErrPrinter, "KORVANE Energy");
        pages.push_back({Paint(form, pageSize, QRectF(QPointF(), QSizeF(pageSize))),
                         messages != nullptr ? messages->shown.size() : 0});
    }
    struct Page {
        QImage image;
        size_t messagesShownBefore;
    };
    bool PrintPage(QWidget*, const std::function<void(QPainter&, const QRectF&)>& paint) override {
        QImage page(pageSize, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(pageSize)));
        pages.push_back({page, messages != nullptr ? messages->shown.size() : 0});
        return true;
    }
    // A page of A4 proportions at 72 dots per inch.
    QSize pageSize{595, 842};
    bool refuse = false;
    // To tell which messages the user had seen before the page was printed.
    const RecordingMessageBox* messages = nullptr;
    std::vector<Page> pages;
};

// All the doubles together.
struct FakeDesktop {
    FakeDesktop() { printer.messages = &messages; }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;
    RecordingMessageBox messages;
    ScriptedFileDialog files;
    CountingBeep beep;
    MemorySettings settings;
    ImagePrinter printer;
    QtFileWriter writer; // the real one: a folder that cannot be written makes it fail
    Seams seams() { return Seams{&messages, &files, &beep, &settings, &printer, &writer}; }
};

} // namespace korvane::ui::test
