// The table's shape, its fallback, and the two rules whose effect the
// firmware updater's own update-type rules cover. Every other rule is
// checked where it shows: in the updater widget's tests and the update roads.
#include "app/updater/DeviceTypeRules.h"

#include <QtTest>

using R = DeviceTypeRules;

class TestDeviceTypeRules : public QObject
{
    Q_OBJECT
private slots:
    void oneRowPerDeviceTypeInOrder();
    void motherboardPhaseRules_data();
    void motherboardPhaseRules();
    void unknownType();
};

void TestDeviceTypeRules::oneRowPerDeviceTypeInOrder()
{
    int i = 0;
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
        QCOMPARE(int(rule.type), i);
        QCOMPARE(&DeviceTypeRules::of(i), &rule);
        ++i;
    }
}

// In the motherboard phase the firmware updater programs the consoles and the
// light source as a motherboard whatever type the widget hands it, and keeps
// the TV720's type in both phases: the widget's channel-digit rule and the
// TV720's phase flag change nothing a test of the Devices tab can see, so they
// are checked here as they stand.
void TestDeviceTypeRules::motherboardPhaseRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("motherboardDigit"); // -1: never
    QTest::addColumn<bool>("motherboardPhase");

    const QMap<int, int> digits { { 6, 2 }, { 8, 2 }, { 9, 2 }, { 15, 4 } };
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows())
        QTest::addRow("%s", qPrintable(DeviceTypeRules::displayName(rule.type)))
            << int(rule.type) << digits.value(rule.type, -1) << (rule.type == nsUpdater::TV720);
}

void TestDeviceTypeRules::motherboardPhaseRules()
{
    QFETCH(int, type);
    QFETCH(int, motherboardDigit);
    QFETCH(bool, motherboardPhase);
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(type);
    QCOMPARE(rule.motherboardDigit, motherboardDigit);
    QCOMPARE(rule.effects.testFlag(R::MotherboardPhase), motherboardPhase);
}

// Outside the table: default panes, no download, a dialog without filters.
void TestDeviceTypeRules::unknownType()
{
    for (int type : { -1, 26, 1000 }) {
        const DeviceTypeRules::Row& rule = DeviceTypeRules::of(type);
        QCOMPARE(rule.label, R::DeviceRowLabel::NameAndPort);
        QCOMPARE(int(rule.typeRow), int(R::NoTypeRowFlag));
        QCOMPARE(rule.panes, R::PaneRule::Nothing);
        QCOMPARE(rule.server, R::ServerRule::None);
        QCOMPARE(rule.manual, R::ManualRule::NoFilter);
        QCOMPARE(int(rule.effects), int(R::NoEffect));
        QCOMPARE(rule.motherboardDigit, -1);
        QCOMPARE(rule.motherboardStep, R::MotherboardStep::LightSourceMotherboardAddress);
        QVERIFY(DeviceTypeRules::displayName(type).isEmpty());
        QVERIFY(DeviceTypeRules::webPage(type).isEmpty());
    }
}

QTEST_APPLESS_MAIN(TestDeviceTypeRules)
#include "tst_devicetyperules.moc"
