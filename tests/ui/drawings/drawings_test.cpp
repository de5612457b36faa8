// Renders the window-type pictures and the icon offscreen and checks what a viewer would notice: blank or
// misplaced drawings, wrong window-band shares, drawings that do not scale, blurred or empty icons.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <vector>

#include "Drawings.h"

using korvane::ui::Sketch;

Q_DECLARE_METATYPE(Sketch)

namespace {

QSize NaturalSize(Sketch which) {
    const korvane::ui::SketchWidget widget(which);
    return static_cast<const QWidget&>(widget).sizeHint();
}

QImage Render(Sketch which, QSize imageSize, QRectF target, QColor ground = Qt::white) {
    QImage image(imageSize, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    korvane::ui::PaintSketch(which, painter, target);
    return image;
}

QImage Render(Sketch which, double scale) {
    const QSize size = NaturalSize(which) * scale;
    return Render(which, size, QRectF(QPointF(0, 0), size));
}

bool IsInk(QRgb c) {
    return qMax(qRed(c), qMax(qGreen(c), qBlue(c))) < 120;
}
bool IsGlass(QRgb c) {
    return qBlue(c) - qRed(c) > 25 && qBlue(c) > 200;
}
bool IsWall(QRgb c) {
    return qRed(c) > 215 && qRed(c) < 240 && qAbs(qRed(c) - qBlue(c)) < 8;
}
bool IsPaper(QRgb c) {
    return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250;
}

template <typename Pred> double Share(const QImage& image, Pred pred) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += pred(image.pixel(x, y));
    return double(count) / (image.width() * image.height());
}

template <typename Pred> QRect Box(const QImage& image, Pred pred) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of everything that is not plain paper.
QRect Drawn(const QImage& image) {
    return Box(image, [](QRgb c) { return !IsPaper(c); });
}

} // namespace

class DrawingsTest : public QObject {
    Q_OBJECT

  private slots:
    void sketch_data() {
        QTest::addColumn<Sketch>("which");
        QTest::addColumn<QSize>("layoutSize"); // the pictures' sizes on the window: twips over 15
        QTest::newRow("side windows") << Sketch::SideWindows << QSize(2580, 2280) / 15;
        QTest::newRow("flat roof") << Sketch::FlatRoof << QSize(2775, 2565) / 15;
        QTest::newRow("sawtooth") << Sketch::Sawtooth << QSize(3975, 2025) / 15;
    }

    // Drawn, scaling with its size, inside any target, and what the widget shows.
    void sketch() {
        QFETCH(Sketch, which);
        QFETCH(QSize, layoutSize);
        // Lines and glass at the natural size and at twice it; doubling the size doubles drawing and margins.
        const QImage one = Render(which, 1.0);
        const QImage two = Render(which, 2.0);
        for (const QImage& image : {one, two}) {
            QVERIFY2(Share(image, IsInk) > 0.02, qPrintable(QString("ink %1").arg(Share(image, IsInk))));
            QVERIFY2(Share(image, IsGlass) > 0.002,
                     qPrintable(QString("glass %1").arg(Share(image, IsGlass))));
        }
        const QRect small = Drawn(one);
        const QRect large = Drawn(two);
        QVERIFY(small.width() > one.width() / 2);
        QVERIFY2(qAbs(large.width() - 2 * small.width()) <= 3 &&
                     qAbs(large.height() - 2 * small.height()) <= 3 &&
                     qAbs(large.left() - 2 * small.left()) <= 2 && qAbs(large.top() - 2 * small.top()) <= 2,
                 qPrintable(QString("%1x%2 at %3,%4 and %5x%6 at %7,%8")
                                .arg(small.width())
                                .arg(small.height())
                                .arg(small.left())
                                .arg(small.top())
                                .arg(large.width())
                                .arg(large.height())
                                .arg(large.left())
                                .arg(large.top())));

        for (const QRectF target : {QRectF(17, 9, 300, 120), QRectF(23.5, 11.5, 150, 260)}) { // wide, tall
            const QColor marker(255, 0, 255);
            const QImage image = Render(which, QSize(340, 300), target, marker);
            const QRect inner = target.toAlignedRect();
            int outside = 0;
            int drawnInside = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = image.pixel(x, y);
                    if (inner.contains(x, y))
                        drawnInside += !IsPaper(c);
                    else
                        outside += c != marker.rgb();
                }
            }
            QCOMPARE(outside, 0);
            QVERIFY(drawnInside > 500);
            // Scaled evenly and centred, one pixel in from the edges, which the paper shares with the marker
            // where the target is fractional.
            const QImage inside = image.copy(inner.adjusted(1, 1, -1, -1));
            const QRect drawn = Drawn(inside);
            const QRect natural = Drawn(one);
            const double proportion =
                double(drawn.width()) / drawn.height() * natural.height() / natural.width();
            QVERIFY2(qAbs(proportion - 1) < 0.05, qPrintable(QString("proportion %1").arg(proportion)));
            QVERIFY(qAbs(drawn.center().x() - inside.width() / 2) < inside.width() / 8);
            QVERIFY(qAbs(drawn.center().y() - inside.height() / 2) < inside.height() / 8);
        }

        korvane::ui::SketchWidget widget(which);
        QCOMPARE(widget.Which(), which);
        QCOMPARE(static_cast<QWidget&>(widget).sizeHint(), layoutSize);
        widget.resize(layoutSize * 1.5);
        const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shown == Render(which, widget.size(), QRectF(widget.rect())));
    }

    void facadeStripsHaveTheirBandShares_data();
    void facadeStripsHaveTheirBandShares();
    void iconIsSharpFilledAndScales_data();
    void iconIsSharpFilledAndScales();
};

void DrawingsTest::facadeStripsHaveTheirBandShares_data() {
    QTest::addColumn<double>("scale");
    for (const double scale : {1.0, 2.0, 3.5})
        QTest::addRow("%gx", scale) << scale;
}

// Each row of glass pixels belongs to a window band; across the middle row of a band, the glazed share is the
// glass pixels over the facade's length between its first and last wall or glass pixel.
void DrawingsTest::facadeStripsHaveTheirBandShares() {
    QFETCH(double, scale);
    const QImage image = Render(Sketch::SideWindows, scale);
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool glass = false;
        for (int x = 0; x < image.width() && !glass; ++x)
            glass = IsGlass(image.pixel(x, y));
        if (!glass)
            continue;
        if (!bands.empty() && bands.back().second == y - 1)
            bands.back().second = y;
        else
            bands.emplace_back(y, y);
    }
    QCOMPARE(bands.size(), std::size_t{3});

    const double expected[] = {0.30, 0.60, 0.90};
    for (std::size_t i = 0; i < 3; ++i) {
        const int y = (bands[i].first + bands[i].second) / 2;
        // The facade ends where paper begins again; the strip's symbol lies beyond.
        int first = -1;
        int last = -1;
        int glass = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (first >= 0 && IsPaper(c))
                break;
            if (IsGlass(c) || IsWall(c)) {
                first = first < 0 ? x : first;
                last = x;
            }
            glass += IsGlass(c);
        }
        const double share = double(glass) / (last - first + 1);
        QVERIFY2(qAbs(share - expected[i]) < 0.05,
                 qPrintable(QString("strip %1: glazed share %2").arg(i + 1).arg(share)));
    }
    // The strips sit beside the option buttons, whose centres are 660 twips (44 pixels) apart.
    const double pitch = ((bands[2].first + bands[2].second) - (bands[0].first + bands[0].second)) / 4.0;
    QVERIFY(qAbs(pitch - 44 * scale) <= 1.5);
}

void DrawingsTest::iconIsSharpFilledAndScales_data() {
    QTest::addColumn<int>("side");
    for (const int side : {16, 32, 64})
        QTest::addRow("%d", side) << side;
}

// Sharp: the grid-aligned design leaves only the round sun's rim half transparent. Scales: the opaque part
// covers the same share of the icon as at 128 pixels.
void DrawingsTest::iconIsSharpFilledAndScales() {
    QFETCH(int, side);
    const QIcon icon = korvane::ui::AppIcon();
    auto render = [&](int n) { return icon.pixmap(n, n).toImage().convertToFormat(QImage::Format_ARGB32); };
    const QImage image = render(side);
    QCOMPARE(image.size(), QSize(side, side));
    const auto opaque = [](QRgb c) { return qAlpha(c) == 255; };
    const auto partial = [](QRgb c) { return qAlpha(c) > 0 && qAlpha(c) < 255; };
    QVERIFY2(Share(image, opaque) > 0.35, qPrintable(QString("opaque %1").arg(Share(image, opaque))));
    QVERIFY2(Share(image, partial) < 0.08,
             qPrintable(QString("half-transparent %1").arg(Share(image, partial))));

    const QRect box = Box(image, opaque);
    const QRect large = Box(render(128), opaque);
    const int factor = 128 / side;
    QVERIFY(qAbs(box.width() * factor - large.width()) <= factor &&
            qAbs(box.height() * factor - large.height()) <= factor);
    // On a screen of twice the density the icon has twice the device pixels, not four times.
    QCOMPARE(icon.pixmap(QSize(side, side), 2.0).size(), QSize(2 * side, 2 * side));
}

QTEST_MAIN(DrawingsTest)
#include "drawings_test.moc"
