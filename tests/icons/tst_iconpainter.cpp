// The icon painter with a small font of our own (make_layer_font.py), carried
// under the Solid and Duotone file names only.
#include "icons/IconFont.h"
#include "icons/IconFontAnimation.h"
#include "tests/icons/RecordingPaintDevice.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QWidget>
#include <QtTest>

namespace {

constexpr int LeftBox = 0xF111;      // second layer at 0x10F111 is the right box
constexpr int TwiceWide = 0xF200;    // advance 2 em
constexpr int SlightlyWide = 0xF201; // advance 1.1 em
const QString TestFamily = QStringLiteral("Movra Test Layers");
const QColor Blue(78, 156, 207);

QImage render(const QIcon& icon, const QSize& size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(size, mode, QIcon::Off).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool near(const QColor& actual, const QColor& expected)
{
    return qAbs(actual.red() - expected.red()) <= 2 && qAbs(actual.green() - expected.green()) <= 2
           && qAbs(actual.blue() - expected.blue()) <= 2 && qAbs(actual.alpha() - expected.alpha()) <= 2;
}

class RepaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class TestIconPainter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void missingFontFilesLeaveOnlyTheirStylesUnloaded();
    void secondLayerInDuotoneColour_data();
    void secondLayerInDuotoneColour();
    void pixelSize_data();
    void pixelSize();
    void emptySizesDrawNothing();
    void animationRotatesFromTheSecondPaint();
    void animationStep_data();
    void animationStep();

private:
    IconFont m_iconFont;
};

void TestIconPainter::initTestCase()
{
    m_iconFont.loadStyleFonts();
    m_iconFont.setDefaultIconOption(QStringLiteral("color"), Blue);
}

void TestIconPainter::missingFontFilesLeaveOnlyTheirStylesUnloaded()
{
    for (int style : { int(IconFont::Solid), int(IconFont::Duotone) }) {
        QVERIFY(m_iconFont.styleFontRecord(style).fontId >= 0);
        QCOMPARE(m_iconFont.styleFontRecord(style).fontFamily, TestFamily);
    }
    for (int style : { int(IconFont::Regular), int(IconFont::Light), int(IconFont::Brands) }) {
        QCOMPARE(m_iconFont.styleFontRecord(style).fontId, -1);
        QVERIFY(m_iconFont.styleFontRecord(style).fontFamily.isEmpty());
    }
    // An icon of an unloaded style is still made.
    QCOMPARE(m_iconFont.makeIcon(IconFont::Regular, LeftBox).pixmap(16, 16).size(), QSize(16, 16));
}

void TestIconPainter::secondLayerInDuotoneColour_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("left");
    QTest::addColumn<QColor>("right");

    const QColor none(0, 0, 0, 0);
    QTest::newRow("duotone") << int(IconFont::Duotone) << int(QIcon::Normal) << Blue << QColor(50, 50, 50, 127);
    QTest::newRow("duotone active") << int(IconFont::Duotone) << int(QIcon::Active) << QColor(10, 10, 10)
                                    << QColor(10, 10, 10, 200);
    QTest::newRow("solid: one layer") << int(IconFont::Solid) << int(QIcon::Normal) << Blue << none;
}

void TestIconPainter::secondLayerInDuotoneColour()
{
    QFETCH(int, style);
    QFETCH(int, mode);
    QFETCH(QColor, left);
    QFETCH(QColor, right);

    const QImage image = render(m_iconFont.makeIcon(style, LeftBox), QSize(64, 64), QIcon::Mode(mode));
    QVERIFY2(near(image.pixelColor(16, 32), left), qPrintable(image.pixelColor(16, 32).name(QColor::HexArgb)));
    QVERIFY2(near(image.pixelColor(48, 32), right), qPrintable(image.pixelColor(48, 32).name(QColor::HexArgb)));
    QCOMPARE(image.pixelColor(32, 2).alpha(), 0);
}

void TestIconPainter::pixelSize_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("scaleFactor");
    QTest::addColumn<int>("pixelSize");

    // The font's line is 1.25 em tall: every glyph is too tall for its rectangle.
    QTest::newRow("too tall, not too wide") << LeftBox << QSize(16, 16) << 1.0 << 16;
    QTest::newRow("half scale") << LeftBox << QSize(16, 16) << 0.5 << 8;
    QTest::newRow("rounded half away from zero") << LeftBox << QSize(15, 15) << 0.5 << 8;
    QTest::newRow("rounded down") << LeftBox << QSize(16, 16) << 0.53 << 8;
    // 16 * min(0.95 * 16 / 20, 0.95 * 16 / 32) = 7.6
    QTest::newRow("too wide: width factor") << TwiceWide << QSize(16, 16) << 1.0 << 7;
    // 16 * min(0.95 * 16 / 20, 0.95 * 16 / 17.6) = 12.16
    QTest::newRow("too wide: height factor") << SlightlyWide << QSize(16, 16) << 1.0 << 12;
    QTest::newRow("exactly as wide") << TwiceWide << QSize(32, 16) << 1.0 << 16;
}

void TestIconPainter::pixelSize()
{
    QFETCH(int, glyph);
    QFETCH(QSize, size);
    QFETCH(double, scaleFactor);
    QFETCH(int, pixelSize);

    const QIcon icon = m_iconFont.makeIcon(IconFont::Solid, glyph, { { QStringLiteral("scale-factor"), scaleFactor } });
    RecordingPaintDevice device(size);
    {
        QPainter painter(&device);
        icon.paint(&painter, QRect(QPoint(0, 0), size));
    }
    QCOMPARE(device.draws().size(), 1);
    QCOMPARE(device.draws().at(0).font.pixelSize(), pixelSize);
    QCOMPARE(device.draws().at(0).font.family(), TestFamily);
}

void TestIconPainter::emptySizesDrawNothing()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    const QIcon icon = m_iconFont.makeIcon(IconFont::Solid, LeftBox);
    QVERIFY(icon.pixmap(QSize(0, 0)).isNull());
    QVERIFY(icon.pixmap(QSize(16, 0)).isNull());

    const QIcon tiny = m_iconFont.makeIcon(IconFont::Solid, LeftBox, { { QStringLiteral("scale-factor"), 0.01 } });
    RecordingPaintDevice device(QSize(16, 16));
    {
        QPainter painter(&device);
        tiny.paint(&painter, QRect(0, 0, 16, 16));
    }
    QVERIFY(device.draws().isEmpty());
}

void TestIconPainter::animationRotatesFromTheSecondPaint()
{
    IconFontAnimation animation(nullptr, 1000, 0.0F, 180.0F);
    const QIcon icon =
        m_iconFont.makeIcon(IconFont::Solid, LeftBox, { { QStringLiteral("anim"), QVariant::fromValue(&animation) } });

    QVERIFY(!animation.isRunning());
    const QImage first = render(icon, QSize(64, 64));
    QVERIFY(animation.isRunning());
    QVERIFY(near(first.pixelColor(16, 32), Blue));
    QCOMPARE(first.pixelColor(48, 32).alpha(), 0);

    const QImage second = render(icon, QSize(64, 64));
    QCOMPARE(second.pixelColor(16, 32).alpha(), 0);
    QVERIFY(near(second.pixelColor(48, 32), Blue));
}

void TestIconPainter::animationStep_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<float>("step");
    QTest::addColumn<float>("expected");
    QTest::newRow("adds the step") << 0.0F << 30.0F << 30.0F;
    QTest::newRow("wraps at 360") << 300.0F << 100.0F << 40.0F;
    QTest::newRow("full turn") << 350.0F << 10.0F << 0.0F;
}

void TestIconPainter::animationStep()
{
    QFETCH(float, angle);
    QFETCH(float, step);
    QFETCH(float, expected);

    RepaintCounter widget;
    widget.resize(20, 20);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const int paintsBefore = widget.paints;

    IconFontAnimation animation(&widget, 1000, step, angle);
    animation.update();
    QCOMPARE(animation.angle(), expected);
    QTRY_VERIFY(widget.paints > paintsBefore);
}

QTEST_MAIN(TestIconPainter)
#include "tst_iconpainter.moc"
