#pragma once
// The main window's pictures and the program's icon, drawn as vector art so that they stay sharp at any size,
// on screen and on the printer alike.

#include <QIcon>
#include <QRectF>
#include <QSize>
#include <QWidget>

class QPainter;
class QPaintEvent;

namespace korvane::ui {

enum class Sketch {
    SideWindows, // Image1: facade strips with window bands of 30, 60 and 90 %
    FlatRoof,    // Image2: section and plan of a flat roof with square roof lights
    Sawtooth     // Image4: section of a sawtooth roof
};

// Fills target with the paper colour and draws the sketch into it, scaled evenly to fit and centred, so that
// squares stay square when target has another aspect ratio. The painter's state is left as it was.
void PaintSketch(Sketch which, QPainter& painter, const QRectF& target);

// A picture on a window-type panel: paints its sketch scaled to the widget's size. Its size hint is the
// picture's size on the main window, in pixels at 96 dots per inch.
class SketchWidget : public QWidget {
    Q_OBJECT

  public:
    explicit SketchWidget(Sketch which, QWidget* parent = nullptr);
    Sketch Which() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

  private:
    Sketch which_;
};

// The program's icon, designed on a 32 × 32 grid and drawn afresh for every requested size.
QIcon AppIcon();

} // namespace korvane::ui
