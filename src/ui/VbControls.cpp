#include "VbControls.h"

#include "Seams.h"
#include "VbError.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

#include <algorithm>

namespace korvane::ui {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int32_t kErrInvalidPropertyValue = 380;

// Restores a counter however the scope is left.
class DepthGuard {
  public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

  private:
    int& depth_;
};

bool IsCtrlLetter(const QKeyEvent& event) {
    const auto mods = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return mods == Qt::ControlModifier && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z;
}

} // namespace

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

void PlaceTwips(QWidget& widget, int left, int top, int width, int height) {
    widget.setGeometry(TwipsRect(left, top, width, height));
}

QString ElementName(const QString& arrayName, int index) {
    return arrayName + '(' + QString::number(index) + ')';
}

void RaiseNoElement(int index) {
    RaiseNoControlArrayElement(index, kControlsSource);
}

// --- VbTextBox ---------------------------------------------------------------------------------------------

int VbTextBox::lostFocusDepth_ = 0;
bool VbTextBox::refocusing_ = false;

VbTextBox::VbTextBox(QWidget* parent) : QLineEdit(parent) {
    // Composed input and drops would put text into the field past the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    // Once edited, a longer text put in by the program shrinks the limit back to the typed length.
    connect(this, &QLineEdit::textEdited, this,
            [this] { setMaxLength(std::max(typedLength_, static_cast<int>(text().size()))); });
}

void VbTextBox::SetText(const QString& text) {
    setMaxLength(std::max(typedLength_, static_cast<int>(text.size())));
    setText(text);
}

void VbTextBox::SetTypedLength(int characters) {
    typedLength_ = characters;
    setMaxLength(std::max(typedLength_, static_cast<int>(text().size())));
}

void VbTextBox::Bind(int16_t index, const Events* events) {
    index_ = index;
    events_ = events;
}

std::optional<int16_t> VbTextBox::CharacterCode(const QKeyEvent& event) {
    const auto mods = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event.key()) {
    case Qt::Key_Backspace:
        return mods == Qt::NoModifier ? std::optional<int16_t>(8) : std::nullopt;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return mods == Qt::NoModifier ? std::optional<int16_t>(13) : std::nullopt;
    case Qt::Key_Escape:
        return mods == Qt::NoModifier ? std::optional<int16_t>(27) : std::nullopt;
    default:
        break;
    }
    if (IsCtrlLetter(event))
        return static_cast<int16_t>(event.key() - Qt::Key_A + 1);
    // Ctrl and Alt together are AltGr on some keyboards, which types characters.
    const bool altGr = mods == (Qt::ControlModifier | Qt::AltModifier);
    if (mods != Qt::NoModifier && !altGr)
        return std::nullopt;
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t c = text.at(0).unicode();
    if (c < 0x20 || c == 0x7f)
        return std::nullopt; // Tab, Delete and the like move or edit; they type nothing
    return static_cast<int16_t>(c);
}

bool VbTextBox::event(QEvent* event) {
    // Ctrl+letter types a control character here, so the field claims none of them: the window's menu
    // shortcuts win, and the others arrive as key presses for the filter.
    if (event->type() == QEvent::ShortcutOverride && events_ && events_->keyPress &&
        IsCtrlLetter(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void VbTextBox::keyPressEvent(QKeyEvent* event) {
    const auto code = CharacterCode(*event);
    if (!code || !events_ || !events_->keyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int16_t keyAscii = *code;
    events_->keyPress(index_, keyAscii);
    if (keyAscii == *code && !IsCtrlLetter(*event)) {
        QLineEdit::keyPressEvent(event);
    } else if (keyAscii == 8) {
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QLineEdit::keyPressEvent(&backspace);
    } else if (keyAscii >= 0x20 || keyAscii < 0) {
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString(QChar(static_cast<char16_t>(static_cast<uint16_t>(keyAscii)))));
        QLineEdit::keyPressEvent(&typed);
    }
    // Any other code, 0 included, types nothing.
    event->accept();
}

void VbTextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    enteredByMouse_ = event->reason() == Qt::MouseFocusReason;
    if (events_ && events_->gotFocus)
        events_->gotFocus(index_);
}

void VbTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Opening a menu or turning to another window (a message box, a dialog) leaves the focus where it was:
    // the field is not being left.
    const auto reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    if (refocusing_ || !events_ || !events_->lostFocus)
        return;
    DepthGuard guard(lostFocusDepth_);
    events_->lostFocus(index_);
}

void VbTextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // The press that brought the focus placed the caret over the selection made on entry; a click selects
    // the whole text as Tab does, a drag keeps the part it selected.
    if (enteredByMouse_ && !hasSelectedText())
        selectAll();
    enteredByMouse_ = false;
}

void VbTextBox::SetFocus() {
    if (lostFocusDepth_ > 0) {
        // The focus is still moving away; take it back once it has arrived.
        QPointer<VbTextBox> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self)
                    self->TakeFocusBack();
            },
            Qt::QueuedConnection);
        return;
    }
    setFocus(Qt::OtherFocusReason);
}

void VbTextBox::TakeFocusBack() {
    if (!isEnabled() || !isVisible())
        return;
    refocusing_ = true;
    setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
}

// --- VbComboBox --------------------------------------------------------------------------------------------

VbComboBox::VbComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        // A long item may be cut short in the closed list.
        setToolTip(currentText());
        if (events_ && events_->click)
            events_->click(index_);
    });
}

void VbComboBox::Bind(int16_t index, const Events* events) {
    index_ = index;
    events_ = events;
}

void VbComboBox::Clear() {
    const QSignalBlocker blocker(this);
    clear();
    view()->setMinimumWidth(0);
}

void VbComboBox::AddItem(const QString& item) {
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    addItem(item);
    // QComboBox selects the first item it is given; a list chooses nothing by itself.
    if (currentIndex() != selected)
        setCurrentIndex(selected);
    // Items wider than the closed list are shown in full when it drops down.
    const int wanted = view()->fontMetrics().horizontalAdvance(item) + 2 * view()->fontMetrics().height();
    view()->setMinimumWidth(std::max(view()->minimumWidth(), wanted));
}

void VbComboBox::SetListIndex(int listIndex) {
    if (listIndex < -1 || listIndex >= count())
        Raise(kErrInvalidPropertyValue, kControlsSource, "Invalid property value");
    setCurrentIndex(listIndex);
}

// --- the others --------------------------------------------------------------------------------------------

VbOptionButton::VbOptionButton(const QString& caption, const QString& tag, QWidget* parent)
    : QRadioButton(caption, parent), tag_(tag) {}

void VbOptionButton::focusInEvent(QFocusEvent* event) {
    // Tabbing into a group lands on its checked option.
    const auto reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && !isChecked()) {
        for (auto* sibling : parentWidget()->findChildren<VbOptionButton*>(Qt::FindDirectChildrenOnly)) {
            if (sibling->isChecked() && sibling->isVisible()) {
                sibling->setFocus(reason);
                return;
            }
        }
    }
    QRadioButton::focusInEvent(event);
}

VbLabel::VbLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void VbLabel::SetCaption(const QString& caption) {
    setText(DisplayText(caption));
}

VbFrame::VbFrame(QWidget* parent) : QWidget(parent) {}

void VbFrame::SetCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
    update();
}

QRect VbFrame::CaptionRect() const {
    const QFontMetrics metrics(font());
    return QRect(6, 0, metrics.horizontalAdvance(caption_) + 4, metrics.height());
}

void VbFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));
    if (caption_.isEmpty())
        return;
    const QRect text = CaptionRect();
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, Qt::AlignCenter, caption_);
}

VbPictureBox::VbPictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void VbPictureBox::SetBackColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

QColor VbPictureBox::BackColor() const {
    return palette().color(QPalette::Window);
}

namespace {

// Tabs with less padding, so that long captions still fit the strip's fixed width.
class CompactTabStyle final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

VbTabStrip::VbTabStrip(int tabCount, QWidget* parent) : QTabWidget(parent) {
    setTabPosition(QTabWidget::South);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    auto* compact = new CompactTabStyle(QStyleFactory::create(QApplication::style()->name()));
    compact->setParent(tabBar());
    tabBar()->setStyle(compact);
    for (int tab = 1; tab <= tabCount; ++tab)
        addTab(new QWidget(this), QString());
    connect(this, &QTabWidget::currentChanged, this, [this] {
        if (click)
            click();
    });
}

VbCommandButton::VbCommandButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        if (click)
            click();
    });
}

VbMenuItem::VbMenuItem(const QKeySequence& shortcut, bool checkable, QMenu* menu) : QAction(menu) {
    setShortcut(shortcut);
    setCheckable(checkable);
    menu->addAction(this);
    connect(this, &QAction::triggered, this, [this] {
        // Choosing a checkable action toggles its tick; here only the handler decides.
        QAction::setChecked(checked_);
        if (events_ && events_->click)
            events_->click(index_);
    });
}

void VbMenuItem::Bind(int16_t index, const Events* events) {
    index_ = index;
    events_ = events;
}

void VbMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    QAction::setChecked(checked);
}

} // namespace korvane::ui
