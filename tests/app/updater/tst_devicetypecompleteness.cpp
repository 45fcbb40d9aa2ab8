// Every device type has its row in each of the app's tables by device type: a
// type added to DeviceIdentifier without them fails here.
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "firmware/core/DeviceIdentifier.h"

#include <QtTest>

namespace {

using namespace nsUpdater;

// Whether the value names a device type. The switch lists every enumerator
// and has no default, so a new type that is not added here fails the build.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
bool isDeviceType(int value)
{
    switch (DeviceIdentifier(value)) {
    case AssistedRotaryJoint:
    case KZR410:
    case NXLT:
    case Bootloader:
    case Camera:
    case Channels:
    case Console:
    case EEPROMMemoryManager:
    case ElectrophysiologyConsole:
    case FiberPhotometryConsole:
    case GQZ:
    case GQZ2:
    case GQZ3:
    case GQZ3KAVOR:
    case IMU:
    case LightSource:
    case KAVOR:
    case Motherboard:
    case TV720:
    case HKTR:
    case USB3Driver:
    case Sarvanti:
    case YLQSAGen2:
    case KOTWGen3:
    case ZuvoBasestation:
    case SarvantiGen2: return true;
    }
    return false;
}
#pragma GCC diagnostic pop

// Far above the last type: the walk also finds a type whose value leaves a gap.
constexpr int LargestValueLookedAt = 1024;

QList<int> everyDeviceType()
{
    QList<int> types;
    for (int value = 0; value <= LargestValueLookedAt; ++value)
        if (isDeviceType(value))
            types.append(value);
    return types;
}

} // namespace

class TestDeviceTypeCompleteness : public QObject
{
    Q_OBJECT
private slots:
    void everyTypeHasItsRows_data();
    void everyTypeHasItsRows();
    void noRowWithoutItsType();
};

void TestDeviceTypeCompleteness::everyTypeHasItsRows_data()
{
    QTest::addColumn<int>("type");
    const QList<int> types = everyDeviceType();
    QVERIFY(!types.isEmpty());
    for (int type : types)
        QTest::addRow("type %d", type) << type;
}

void TestDeviceTypeCompleteness::everyTypeHasItsRows()
{
    QFETCH(int, type);
    // The Devices tab's rules: a type without its row would fall back to the
    // row of an unknown type, which updates nothing.
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(type);
    QCOMPARE(int(rule.type), type);
    // Its type row's name and the page the description pane links to.
    QVERIFY(!DeviceTypeRules::displayName(type).isEmpty());
    QVERIFY(DeviceTypeRules::webPage(type).startsWith(MovraWebHost));
}

// The other way round: the table holds no row for a value that is no device type.
void TestDeviceTypeCompleteness::noRowWithoutItsType()
{
    const QList<int> types = everyDeviceType();
    QCOMPARE(int(DeviceTypeRules::rows().size()), types.size());
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows())
        QVERIFY2(isDeviceType(rule.type), qPrintable(QString::number(rule.type)));
}

QTEST_APPLESS_MAIN(TestDeviceTypeCompleteness)
#include "tst_devicetypecompleteness.moc"
