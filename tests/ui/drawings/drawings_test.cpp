// The window-type pictures and the icon, rendered offscreen and checked on their pixels.

#include <QPainter>
#include <QtTest>

#include "Drawings.h"

using namespace korvane::ui;

Q_DECLARE_METATYPE(Sketch)

namespace {

QImage Render(Sketch which, QSize size, QRectF target, QColor ground = Qt::white) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    PaintSketch(which, painter, target);
    return image;
}

const auto IsInk = [](QRgb c) { return qMax(qRed(c), qMax(qGreen(c), qBlue(c))) < 120; };
const auto IsGlass = [](QRgb c) { return qBlue(c) - qRed(c) > 25 && qBlue(c) > 200; };
const auto IsWall = [](QRgb c) { return qRed(c) > 215 && qRed(c) < 240 && qAbs(qRed(c) - qBlue(c)) < 8; };
const auto IsPaper = [](QRgb c) { return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250; };
// Neither paper nor the magenta ground, nor a blend of the two.
const auto IsDrawn = [](QRgb c) { return qRed(c) <= 250 || qBlue(c) <= 250; };

// How many pixels match, and their bounding box.
template <typename Pred> std::pair<int, QRect> Scan(const QImage& image, Pred pred) {
    std::pair<int, QRect> found{0, QRect()};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y)))
                found = {found.first + 1, found.second | QRect(x, y, 1, 1)};
    return found;
}

// First and last of each run of rows (or columns) holding glass.
QList<QPoint> GlassRuns(const QImage& image, bool columns) {
    QString profile;
    for (int i = 0; i < (columns ? image.width() : image.height()); ++i) {
        const QRect line = columns ? QRect(i, 0, 1, image.height()) : QRect(0, i, image.width(), 1);
        profile += Scan(image.copy(line), IsGlass).first ? '#' : '.';
    }
    QList<QPoint> runs;
    for (const QRegularExpressionMatch& run : QRegularExpression("#+").globalMatch(profile))
        runs << QPoint(int(run.capturedStart()), int(run.capturedEnd()) - 1);
    return runs;
}

} // namespace

class DrawingsTest : public QObject {
    Q_OBJECT

  private slots:
    void sketch_data() {
        QTest::addColumn<Sketch>("which");
        QTest::addColumn<QSize>("layoutSize");     // the picture's size on the window: twips over 15
        QTest::addColumn<int>("across");           // windows side by side
        QTest::addColumn<int>("down");             // and one above the other
        QTest::addColumn<QList<double>>("shares"); // glazed along each band
        QTest::newRow("side windows: four bays of three bands")
            << Sketch::SideWindows << QSize(2580, 2280) / 15 << 4 << 3 << QList{.3, .6, .9};
        QTest::newRow("flat roof: three lights in section, two rows of three in plan")
            << Sketch::FlatRoof << QSize(2775, 2565) / 15 << 3 << 3 << QList<double>();
        QTest::newRow("sawtooth: three glazings")
            << Sketch::Sawtooth << QSize(3975, 2025) / 15 << 3 << 1 << QList<double>();
    }

    // The windows; in any target scaled evenly and centred, nothing outside it; the widget shows the same.
    void sketch() {
        QFETCH(Sketch, which);
        QFETCH(QSize, layoutSize);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QList<double>, shares);
        SketchWidget widget(which);
        const QSize natural = static_cast<QWidget&>(widget).sizeHint();
        QCOMPARE(natural, layoutSize);
        const QImage one = Render(which, natural, QRectF(QPointF(), natural));
        QVERIFY(Scan(one, IsInk).first > one.width() * one.height() / 50 &&
                Scan(one, IsGlass).first > one.width() * one.height() / 500);
        QCOMPARE(int(GlassRuns(one, true).size()), across);
        const auto bands = GlassRuns(one, false);
        QCOMPARE(int(bands.size()), down);
        // Glass along a band's middle row over the facade's length, which paper ends before the symbol.
        for (int i = 0; i < shares.size(); ++i) {
            const int y = (bands[i].x() + bands[i].y()) / 2;
            int first = -1, last = -1, glass = 0;
            for (int x = 0; x < one.width() && (first < 0 || !IsPaper(one.pixel(x, y))); ++x) {
                if (IsGlass(one.pixel(x, y)) || IsWall(one.pixel(x, y)))
                    last = x, first = first < 0 ? x : first;
                glass += IsGlass(one.pixel(x, y));
            }
            QVERIFY(qAbs(double(glass) / (last - first + 1) - shares[i]) < 0.05);
            // The bands sit beside the option buttons, whose centres are 660 twips (44 pixels) apart.
            QVERIFY(qAbs(bands[i].x() + bands[i].y() - bands[0].x() - bands[0].y() - 88 * i) <= 2);
        }
        const QRectF drawn = Scan(one, IsDrawn).second;
        QVERIFY(drawn.width() > natural.width() / 2);

        // Three and a half times the natural size, margins too; wide and tall, at fractional places.
        const QColor marker(255, 0, 255);
        for (const QRectF target :
             {QRectF(QPointF(), natural * 3.5), QRectF(17, 9, 300, 120), QRectF(23.5, 11.5, 150, 260)}) {
            const QImage image = Render(which, (natural * 3.5).expandedTo(QSize(200, 300)), target, marker);
            // Paper fills the target, but for edge pixels of a fractional one; nothing is painted outside.
            const QRect inner = target.toAlignedRect();
            const auto [painted, box] = Scan(image, [&](QRgb c) { return c != marker.rgb(); });
            QVERIFY(inner.contains(box) && (box + QMargins(1, 1, 1, 1)).contains(inner) &&
                    painted == box.width() * box.height());
            const double scale = qMin(target.width() / natural.width(), target.height() / natural.height());
            const QPointF origin = target.center() - QPointF(natural.width(), natural.height()) * scale / 2;
            const QRectF expected(origin + drawn.topLeft() * scale, drawn.size() * scale);
            const QRectF got = Scan(image, IsDrawn).second;
            const QMarginsF slack(2, 2, 2, 2);
            QVERIFY((expected + slack).contains(got) && (got + slack).contains(expected));
        }

        widget.resize(layoutSize * 1.5);
        QCOMPARE(widget.grab().toImage().convertToFormat(QImage::Format_RGB32),
                 Render(which, widget.size(), QRectF(widget.rect())));
    }

    // Filled, sharp but for the sun's rim, at twice the size; twice the pixels at twice the density.
    void icon() {
        const QImage image = AppIcon().pixmap(64).toImage().convertToFormat(QImage::Format_ARGB32);
        const int opaque = Scan(image, [](QRgb c) { return qAlpha(c) == 255; }).first;
        const int partial = Scan(image, [](QRgb c) { return qAlpha(c) > 0 && qAlpha(c) < 255; }).first;
        QVERIFY2(opaque > 64 * 64 * 0.35 && partial < 64 * 64 * 0.08,
                 qPrintable(QString("%1 %2").arg(opaque).arg(partial)));
        QCOMPARE(AppIcon().pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    }
};

QTEST_MAIN(DrawingsTest)
#include "drawings_test.moc"
