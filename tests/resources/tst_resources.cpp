// The program's resources: fonts, style sheet and its images, images, translation.
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRegularExpression>
#include <QTranslator>
#include <QWidget>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void iconFonts_data();
    void iconFonts();
    void images_data();
    void images();
    void styleSheetImagesExist();
    void styleSheetDrawsTheDarkBackground();
    void frenchTranslationLoads();
};

void TestResources::iconFonts_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("family");
    QTest::newRow("solid") << "Font Awesome 5 Pro-Solid-900.otf"
                           << "Font Awesome 5 Free";
    QTest::newRow("regular") << "Font Awesome 5 Pro-Regular-400.otf"
                             << "Font Awesome 5 Free";
    QTest::newRow("light") << "Font Awesome 5 Pro-Light-300.otf"
                           << "Font Awesome 5 Free";
    QTest::newRow("duotone") << "Font Awesome 5 Duotone-Solid-900.otf"
                             << "Font Awesome 5 Free";
    QTest::newRow("brands") << "Font Awesome 5 Brands-Regular-400.otf"
                            << "Font Awesome 5 Brands";
}

void TestResources::iconFonts()
{
    QFETCH(QString, fileName);
    QFETCH(QString, family);
    QFile file(QStringLiteral(":/fonts/") + fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int id = QFontDatabase::addApplicationFontFromData(file.readAll());
    QVERIFY(id >= 0);
    QCOMPARE(QFontDatabase::applicationFontFamilies(id).value(0), family);
}

void TestResources::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("english flag") << ":/Languages/Images/english.png";
    QTest::newRow("french flag") << ":/Languages/Images/french.png";
    QTest::newRow("logo") << ":/Logos/Images/movraLogo.png";
}

void TestResources::images()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
}

void TestResources::styleSheetImagesExist()
{
    QFile file(QStringLiteral(":/qdarkstyle/QDarkStyle.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString styleSheet = QString::fromUtf8(file.readAll());
    const QRegularExpression url(QStringLiteral("url\\((:/qss_icons/rc/[^)]+)\\)"));
    int count = 0;
    for (auto it = url.globalMatch(styleSheet); it.hasNext(); ++count) {
        const QString path = it.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    QVERIFY(count > 20);
}

void TestResources::styleSheetDrawsTheDarkBackground()
{
    QFile file(QStringLiteral(":/qdarkstyle/QDarkStyle.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QWidget widget;
    widget.setStyleSheet(QString::fromUtf8(file.readAll()));
    widget.resize(40, 40);
    const QImage image = widget.grab().toImage();
    QCOMPARE(image.pixelColor(20, 20), QColor(0x30, 0x2F, 0x2F));
}

void TestResources::frenchTranslationLoads()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/Languages/MovraMaintenanceTool_fr_CA.qm")));
    QCOMPARE(translator.language(), QStringLiteral("fr_CA"));
    QVERIFY(!translator.translate("MainWindow", "File").isEmpty());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
