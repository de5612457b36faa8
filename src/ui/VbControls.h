#pragma once
// The controls the windows are made of, over Qt Widgets: control arrays addressed by index with one handler
// per array, text boxes with got-focus, key-press and lost-focus events, drop-down lists whose selection
// reports a click however it changes, option buttons with tags, a tab strip numbered from 1, menu items
// that tick only when told, and positions given in twips.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

class QMenu;

namespace korvane::ui {

// Positions are given in twips, 15 to a logical pixel (96 dots per inch).
QRect TwipsRect(int left, int top, int width, int height);
void PlaceTwips(QWidget& widget, int left, int top, int width, int height);

// "txtInput(5)": the name of an element of a control array.
QString ElementName(const QString& arrayName, int index);

// The program's run-time source for errors of the controls themselves.
inline constexpr const char* kControlsSource = "KORVANE Energy";

// Elements of one kind and name, addressed by index. Asking for an index that was never loaded raises 340.
// `events` is the one set of handlers of the whole array; each element reports with its own index.
template <class T> class ControlArray {
  public:
    explicit ControlArray(QString name) : name_(std::move(name)) {}
    ~ControlArray() {
        // The elements outlive the array (their parent deletes them), so they must stop reporting.
        for (auto& entry : items_)
            entry.second->Bind(entry.first, nullptr);
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    // Creates element `index` on `parent`, named after the array and the index.
    template <class Parent, class... Args> T& Load(int16_t index, Parent* parent, Args&&... args) {
        auto* control = new T(std::forward<Args>(args)..., parent);
        control->setObjectName(ElementName(name_, index));
        control->Bind(index, &events);
        items_[index] = control;
        return *control;
    }

    T& operator()(int index) const {
        const auto it = items_.find(static_cast<int16_t>(index));
        if (index < INT16_MIN || index > INT16_MAX || it == items_.end())
            RaiseMissing(index);
        return *it->second;
    }
    bool Exists(int index) const { return items_.count(static_cast<int16_t>(index)) != 0; }
    const std::map<int16_t, T*>& Elements() const { return items_; }
    const QString& Name() const { return name_; }

    typename T::Events events;

  private:
    [[noreturn]] static void RaiseMissing(int index);

    QString name_;
    std::map<int16_t, T*> items_;
};

[[noreturn]] void RaiseNoElement(int index);
template <class T> void ControlArray<T>::RaiseMissing(int index) {
    RaiseNoElement(index);
}

// Single-line text box. Only typed characters reach the key-press handler, as character codes: 8 for
// Backspace, 13 Enter, 27 Escape, 1 to 26 for Ctrl+A to Ctrl+Z, otherwise the character's code. Keys that
// type nothing (Tab, arrows, Home, End, Delete, function keys) and other shortcuts keep their usual effect.
class VbTextBox : public QLineEdit {
    Q_OBJECT
  public:
    struct Events {
        std::function<void(int16_t index)> gotFocus;
        std::function<void(int16_t index, int16_t& keyAscii)> keyPress;
        std::function<void(int16_t index)> lostFocus;
    };

    explicit VbTextBox(QWidget* parent);
    void Bind(int16_t index, const Events* events);
    int16_t Index() const { return index_; }

    QString Text() const { return text(); }
    // Text put in by the program is held whole, however long; the typed length limits only what a person
    // types or pastes.
    void SetText(const QString& text);
    void SetTypedLength(int characters);
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    // Gives this field the keyboard focus. From inside a lost-focus handler the focus comes back once the
    // focus change under way has ended, and no other field's lost-focus handler runs on the way back, so
    // two refusing fields cannot send the focus to and fro.
    void SetFocus();

    // The character code of a key press, or nothing when the key types no character.
    static std::optional<int16_t> CharacterCode(const QKeyEvent& event);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void TakeFocusBack();

    bool enteredByMouse_ = false;
    int typedLength_ = 32767;
    int16_t index_ = 0;
    const Events* events_ = nullptr;
    static int lostFocusDepth_;
    static bool refocusing_;
};

// Drop-down list, choice from the list only. Emptying it leaves no selection (−1), adding items selects
// nothing, and every change of the selection, by the user or by SetListIndex, reports a click.
class VbComboBox : public QComboBox {
    Q_OBJECT
  public:
    struct Events {
        std::function<void(int16_t index)> click;
    };

    explicit VbComboBox(QWidget* parent);
    void Bind(int16_t index, const Events* events);

    void Clear();
    void AddItem(const QString& item);
    int ListCount() const { return count(); }
    int ListIndex() const { return currentIndex(); }
    // −1 clears the selection; an index beyond the items raises 380 "Invalid property value".
    void SetListIndex(int listIndex);

  private:
    int16_t index_ = 0;
    const Events* events_ = nullptr;
};

// Option button carrying its value as text in its tag. Buttons on one parent exclude each other.
class VbOptionButton : public QRadioButton {
    Q_OBJECT
  public:
    struct Events {};
    VbOptionButton(const QString& caption, const QString& tag, QWidget* parent);
    void Bind(int16_t, const Events*) {}
    bool Value() const { return isChecked(); }
    const QString& Tag() const { return tag_; }

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    QString tag_;
};

// Label; texts are plain, wrap at word boundaries and keep their line breaks (CR, CR LF).
class VbLabel : public QLabel {
    Q_OBJECT
  public:
    struct Events {};
    explicit VbLabel(QWidget* parent);
    void Bind(int16_t, const Events*) {}
    void SetCaption(const QString& caption);
};

// Frame: an etched box whose caption sits on its top line, leaving the whole inside to the controls.
class VbFrame : public QWidget {
    Q_OBJECT
  public:
    struct Events {};
    explicit VbFrame(QWidget* parent);
    void Bind(int16_t, const Events*) {}
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // Where the caption is drawn, to check that it fits.
    QRect CaptionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
};

// Picture box: a plain panel with a background colour, holding other controls.
class VbPictureBox : public QWidget {
    Q_OBJECT
  public:
    struct Events {};
    explicit VbPictureBox(QWidget* parent);
    void Bind(int16_t, const Events*) {}
    void SetBackColor(const QColor& color);
    QColor BackColor() const;
};

// Tab strip whose tabs are numbered from 1, tabs at the bottom; the panels that belong to the tabs lie over
// it as siblings. Every change of the selected tab reports a click.
class VbTabStrip : public QTabWidget {
    Q_OBJECT
  public:
    VbTabStrip(int tabCount, QWidget* parent);
    int SelectedItem() const { return currentIndex() + 1; }
    void SetTabCaption(int tab, const QString& caption) { setTabText(tab - 1, caption); }
    std::function<void()> click;
};

class VbCommandButton : public QPushButton {
    Q_OBJECT
  public:
    explicit VbCommandButton(QWidget* parent);
    std::function<void()> click;
};

// Menu item. Its tick changes only when the program sets it, not by choosing the item.
class VbMenuItem : public QAction {
    Q_OBJECT
  public:
    struct Events {
        std::function<void(int16_t index)> click;
    };
    VbMenuItem(const QKeySequence& shortcut, bool checkable, QMenu* menu);
    void Bind(int16_t index, const Events* events);
    void SetCaption(const QString& caption) { setText(caption); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

  private:
    int16_t index_ = 0;
    const Events* events_ = nullptr;
    bool checked_ = false;
};

} // namespace korvane::ui
