// The icon-font service with the program's own font resources.
#include "icons/IconFont.h"
#include "icons/IconFontCharIconPainter.h"
#include "icons/IconFontIconPainterIconEngine.h"
#include "icons/QWidgetWithAccessToIconFont.h"
#include "tests/icons/RecordingPaintDevice.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

namespace {

const QColor StartUpColor(78, 156, 207);
const QColor StartUpDisabledColor(81, 96, 112);

constexpr int Times = 0xF00D;
constexpr int Circle = 0xF111;

// The icon-font service as start-up leaves it.
void setStartUpDefaults(IconFont& iconFont)
{
    iconFont.loadStyleFonts();
    iconFont.setDefaultIconOption(QStringLiteral("color"), StartUpColor);
    iconFont.setDefaultIconOption(QStringLiteral("color-disabled"), StartUpDisabledColor);
}

QImage render(const QIcon& icon, const QSize& size, QIcon::Mode mode = QIcon::Normal, QIcon::State state = QIcon::Off)
{
    return icon.pixmap(size, mode, state).toImage().convertToFormat(QImage::Format_ARGB32);
}

QColor centre(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestIconFont : public QObject
{
    Q_OBJECT
private slots:
    // Runs first: nothing has stored an instance yet.
    void instanceIsEmptyBeforeStartUpStoresIt();
    void storingAnInstanceReleasesThePreviousOne();

    void everyStyleFontLoadsWithAFamily();
    void secondLoadChangesNothing();
    void styleFont_data();
    void styleFont();
    void unknownStyleHasDefaultRecord();

    void glyphColourPerModeAndState_data();
    void glyphColourPerModeAndState();
    void pixmapHasRequestedSizeAndTransparentCorners_data();
    void pixmapHasRequestedSizeAndTransparentCorners();
    void givenTextAndStyleDoNotReplaceTheGlyph();
    void changedDefaultsApplyToLaterIconsOnly();
    void clonedEngineDrawsTheSamePixels();
    void duotoneSecondLayerCodeAndColour();

    void candidateOptionKeys_data();
    void candidateOptionKeys();
    void lookupOptionValue_data();
    void lookupOptionValue();
};

void TestIconFont::instanceIsEmptyBeforeStartUpStoresIt()
{
    QWidgetWithAccessToIconFont access;
    QVERIFY(access.iconFontInstance().isNull());
}

void TestIconFont::storingAnInstanceReleasesThePreviousOne()
{
    QWidgetWithAccessToIconFont access;
    QSharedPointer<IconFont> first(new IconFont);
    QWeakPointer<IconFont> firstWatch = first;
    QWidgetWithAccessToIconFont::setIconFontInstance(first);
    first.reset();
    QCOMPARE(access.iconFontInstance().data(), firstWatch.toStrongRef().data());
    QVERIFY(!firstWatch.isNull());

    QSharedPointer<IconFont> second(new IconFont);
    QWidgetWithAccessToIconFont::setIconFontInstance(second);
    QVERIFY(firstWatch.isNull());
    QCOMPARE(access.iconFontInstance(), second);
    QWidgetWithAccessToIconFont::setIconFontInstance({});
}

void TestIconFont::everyStyleFontLoadsWithAFamily()
{
    IconFont iconFont;
    for (int style = IconFont::Solid; style <= IconFont::Brands; ++style)
        QCOMPARE(iconFont.styleFontRecord(style).fontId, -1);
    iconFont.loadStyleFonts();
    for (int style = IconFont::Solid; style <= IconFont::Brands; ++style) {
        const IconFontStyleFont record = iconFont.styleFontRecord(style);
        QVERIFY2(record.fontId >= 0, qPrintable(record.fontFileName));
        QVERIFY2(!record.fontFamily.isEmpty(), qPrintable(record.fontFileName));
    }
    QCOMPARE(iconFont.styleFontRecord(IconFont::Duotone).fontFileName,
             QStringLiteral("Font Awesome 5 Duotone-Solid-900.otf"));
}

void TestIconFont::secondLoadChangesNothing()
{
    IconFont iconFont;
    iconFont.loadStyleFonts();
    QList<int> ids;
    QStringList families;
    for (int style = IconFont::Solid; style <= IconFont::Brands; ++style) {
        ids << iconFont.styleFontRecord(style).fontId;
        families << iconFont.styleFontRecord(style).fontFamily;
    }
    iconFont.loadStyleFonts();
    for (int style = IconFont::Solid; style <= IconFont::Brands; ++style) {
        QCOMPARE(iconFont.styleFontRecord(style).fontId, ids.at(style));
        QCOMPARE(iconFont.styleFontRecord(style).fontFamily, families.at(style));
    }
}

void TestIconFont::styleFont_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("weight");

    QTest::newRow("solid") << int(IconFont::Solid) << 20 << 900;
    QTest::newRow("regular") << int(IconFont::Regular) << 12 << 400;
    QTest::newRow("light") << int(IconFont::Light) << 16 << 300;
    QTest::newRow("duotone") << int(IconFont::Duotone) << 32 << 900;
    QTest::newRow("brands") << int(IconFont::Brands) << 8 << 400;
}

void TestIconFont::styleFont()
{
    QFETCH(int, style);
    QFETCH(int, pixelSize);
    QFETCH(int, weight);

    IconFont iconFont;
    iconFont.loadStyleFonts();
    const QFont font = iconFont.styleFont(style, pixelSize);
    QCOMPARE(font.family(), iconFont.styleFontRecord(style).fontFamily);
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(int(font.weight()), weight);
}

void TestIconFont::unknownStyleHasDefaultRecord()
{
    IconFont iconFont;
    iconFont.loadStyleFonts();
    QCOMPARE(iconFont.styleFont(7, 20), QFont());
    const IconFontStyleFont record = iconFont.styleFontRecord(7);
    QVERIFY(record.fontFamily.isEmpty());
    QVERIFY(record.fontFileName.isEmpty());
    QCOMPARE(record.fontId, -1);
    QCOMPARE(record.fontWeight, 400);
}

void TestIconFont::glyphColourPerModeAndState_data()
{
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("expected");

    const QVariantMap none;
    const QColor red(200, 20, 20);
    const QColor green(20, 200, 20);
    const QVariantMap offColour { { QStringLiteral("color-off"), red } };

    QTest::newRow("normal off") << none << int(QIcon::Normal) << int(QIcon::Off) << StartUpColor;
    QTest::newRow("normal on") << none << int(QIcon::Normal) << int(QIcon::On) << StartUpColor;
    QTest::newRow("disabled") << none << int(QIcon::Disabled) << int(QIcon::Off) << StartUpDisabledColor;
    QTest::newRow("active") << none << int(QIcon::Active) << int(QIcon::Off) << QColor(10, 10, 10);
    QTest::newRow("selected") << none << int(QIcon::Selected) << int(QIcon::On) << QColor(10, 10, 10);
    QTest::newRow("color-off, off") << offColour << int(QIcon::Normal) << int(QIcon::Off) << red;
    QTest::newRow("color-off, on") << offColour << int(QIcon::Normal) << int(QIcon::On) << StartUpColor;
    QTest::newRow("color-off, disabled off")
        << offColour << int(QIcon::Disabled) << int(QIcon::Off) << StartUpDisabledColor;
    QTest::newRow("color-disabled-off wins")
        << QVariantMap { { QStringLiteral("color-off"), red }, { QStringLiteral("color-disabled-off"), green } }
        << int(QIcon::Disabled) << int(QIcon::Off) << green;
    QTest::newRow("given color") << QVariantMap { { QStringLiteral("color"), green } } << int(QIcon::Normal)
                                 << int(QIcon::On) << green;
}

void TestIconFont::glyphColourPerModeAndState()
{
    QFETCH(QVariantMap, options);
    QFETCH(int, mode);
    QFETCH(int, state);
    QFETCH(QColor, expected);

    IconFont iconFont;
    setStartUpDefaults(iconFont);
    const QImage image = render(iconFont.makeIcon(IconFont::Solid, Times, options), QSize(64, 64), QIcon::Mode(mode),
                                QIcon::State(state));
    QCOMPARE(centre(image), expected);
}

void TestIconFont::pixmapHasRequestedSizeAndTransparentCorners_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("16x16") << QSize(16, 16);
    QTest::newRow("48x48") << QSize(48, 48);
    QTest::newRow("wide 40x16") << QSize(40, 16);
    QTest::newRow("tall 16x40") << QSize(16, 40);
}

void TestIconFont::pixmapHasRequestedSizeAndTransparentCorners()
{
    QFETCH(QSize, size);
    IconFont iconFont;
    setStartUpDefaults(iconFont);
    const QImage image = render(iconFont.makeIcon(IconFont::Solid, Circle), size);
    QCOMPARE(image.size(), size);
    const QList<QPoint> corners {
        { 0, 0 }, { size.width() - 1, 0 }, { 0, size.height() - 1 }, { size.width() - 1, size.height() - 1 }
    };
    for (const QPoint& corner : corners)
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
    QCOMPARE(centre(image), StartUpColor);
}

void TestIconFont::givenTextAndStyleDoNotReplaceTheGlyph()
{
    IconFont iconFont;
    setStartUpDefaults(iconFont);
    const QVariantMap options { { QStringLiteral("text"), QStringLiteral("A") }, { QStringLiteral("style"), 7 } };
    const QImage given = render(iconFont.makeIcon(IconFont::Solid, Times, options), QSize(32, 32));
    const QImage plain = render(iconFont.makeIcon(IconFont::Solid, Times), QSize(32, 32));
    QCOMPARE(given, plain);
    QCOMPARE(centre(given), StartUpColor);
}

void TestIconFont::changedDefaultsApplyToLaterIconsOnly()
{
    IconFont iconFont;
    setStartUpDefaults(iconFont);
    const QIcon before = iconFont.makeIcon(IconFont::Solid, Times);
    const QColor red(200, 20, 20);
    iconFont.setDefaultIconOption(QStringLiteral("color"), red);
    iconFont.setDefaultIconOption(QStringLiteral("my-option"), 5);
    const QIcon after = iconFont.makeIcon(IconFont::Solid, Times);

    QCOMPARE(centre(render(before, QSize(64, 64))), StartUpColor);
    QCOMPARE(centre(render(after, QSize(64, 64))), red);
    QCOMPARE(iconFont.defaultIconOptions().value(QStringLiteral("color")).value<QColor>(), red);
    QCOMPARE(iconFont.defaultIconOptions().value(QStringLiteral("my-option")).toInt(), 5);
}

void TestIconFont::clonedEngineDrawsTheSamePixels()
{
    IconFont iconFont;
    setStartUpDefaults(iconFont);
    IconFontCharIconPainter painter;
    QVariantMap options = iconFont.defaultIconOptions();
    options.insert(QStringLiteral("text"), QString(QChar(Times)));
    options.insert(QStringLiteral("style"), int(IconFont::Solid));
    IconFontIconPainterIconEngine engine(&iconFont, &painter, options);
    std::unique_ptr<QIconEngine> clone(engine.clone());

    for (QIcon::Mode mode : { QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected }) {
        const QImage original = engine.pixmap(QSize(24, 24), mode, QIcon::Off).toImage();
        QCOMPARE(clone->pixmap(QSize(24, 24), mode, QIcon::Off).toImage(), original);
        QVERIFY(original.pixelColor(12, 12).alpha() > 0);
    }
}

void TestIconFont::duotoneSecondLayerCodeAndColour()
{
    IconFont iconFont;
    setStartUpDefaults(iconFont);
    RecordingPaintDevice device(QSize(32, 32));
    {
        QPainter painter(&device);
        iconFont.makeIcon(IconFont::Duotone, Times)
            .paint(&painter, QRect(0, 0, 32, 32), Qt::AlignCenter, QIcon::Normal, QIcon::On);
    }
    QCOMPARE(device.draws().size(), 2);
    QCOMPARE(device.draws().at(0).text, QString(QChar(Times)));
    QCOMPARE(device.draws().at(0).color, StartUpColor);
    QCOMPARE(device.draws().at(1).text.toUcs4(), QList<uint> { 0x100000 + Times });
    QCOMPARE(device.draws().at(1).text, QString(QChar(0xDBFC)) + QChar(0xDC0D));
    QCOMPARE(device.draws().at(1).color, QColor(50, 50, 50, 127));

    RecordingPaintDevice solidDevice(QSize(32, 32));
    {
        QPainter painter(&solidDevice);
        iconFont.makeIcon(IconFont::Solid, Times).paint(&painter, QRect(0, 0, 32, 32));
    }
    QCOMPARE(solidDevice.draws().size(), 1);
}

void TestIconFont::candidateOptionKeys_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("normal off") << int(QIcon::Normal) << int(QIcon::Off) << QStringList { "color-off" };
    QTest::newRow("normal on") << int(QIcon::Normal) << int(QIcon::On) << QStringList {};
    QTest::newRow("disabled off") << int(QIcon::Disabled) << int(QIcon::Off)
                                  << QStringList { "color-disabled-off", "color-disabled", "color-off" };
    QTest::newRow("disabled on") << int(QIcon::Disabled) << int(QIcon::On) << QStringList { "color-disabled" };
    QTest::newRow("active off") << int(QIcon::Active) << int(QIcon::Off)
                                << QStringList { "color-active-off", "color-active", "color-off" };
    QTest::newRow("active on") << int(QIcon::Active) << int(QIcon::On) << QStringList { "color-active" };
    QTest::newRow("selected off") << int(QIcon::Selected) << int(QIcon::Off)
                                  << QStringList { "color-selected-off", "color-selected", "color-off" };
    QTest::newRow("selected on") << int(QIcon::Selected) << int(QIcon::On) << QStringList { "color-selected" };
}

void TestIconFont::candidateOptionKeys()
{
    QFETCH(int, mode);
    QFETCH(int, state);
    QFETCH(QStringList, keys);
    QCOMPARE(
        IconFontCharIconPainter::candidateOptionKeys(QStringLiteral("color"), QIcon::Mode(mode), QIcon::State(state)),
        keys);
}

void TestIconFont::lookupOptionValue_data()
{
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("null variant falls back")
        << QVariantMap { { "text", "x" }, { "text-disabled", QVariant() } } << QVariant("x");
    QTest::newRow("empty text falls back") << QVariantMap { { "text", "x" }, { "text-disabled", "" } } << QVariant("x");
    QTest::newRow("mode and state first")
        << QVariantMap { { "text", "x" }, { "text-off", "o" }, { "text-disabled", "d" }, { "text-disabled-off", "do" } }
        << QVariant("do");
    QTest::newRow("mode before state") << QVariantMap { { "text", "x" }, { "text-off", "o" }, { "text-disabled", "d" } }
                                       << QVariant("d");
    QTest::newRow("state last") << QVariantMap { { "text", "x" }, { "text-off", "o" } } << QVariant("o");
    QTest::newRow("absent") << QVariantMap {} << QVariant();
}

void TestIconFont::lookupOptionValue()
{
    QFETCH(QVariantMap, options);
    QFETCH(QVariant, expected);
    QCOMPARE(IconFontCharIconPainter::lookupOptionValue(options, QStringLiteral("text"), QIcon::Disabled, QIcon::Off),
             expected);
}

QTEST_MAIN(TestIconFont)
#include "tst_iconfont.moc"
