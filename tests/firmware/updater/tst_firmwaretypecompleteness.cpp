// Every device type is served by the firmware engine's tables by device type,
// and no row there names something that is no device type: a type added to
// DeviceIdentifier without its rows fails here.
#include "firmware/updater/DeviceTypeHandling.h"
#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "firmware/updater/UpdateTypeRules.h"
#include "tests/support/EveryDeviceType.h"

#include <QDir>
#include <QSet>
#include <QtTest>

using namespace TestDeviceTypes;

namespace {

bool hasRegistryRow(int type)
{
    for (const FirmwareFamilyRegistry::Row& row : FirmwareFamilyRegistry::rows())
        if (row.deviceType == type)
            return true;
    return false;
}

bool hasUpdateRow(int type)
{
    for (const FirmwareFamilyRegistry::Row& row : FirmwareFamilyRegistry::rows())
        if (row.deviceType == type && row.update)
            return true;
    return false;
}

} // namespace

class TestFirmwareTypeCompleteness : public QObject
{
    Q_OBJECT
private slots:
    void everyTypeIsServed_data();
    void everyTypeIsServed();
    void registryRowsNameATypeAndAFamily();
    void handlingRowsOnePerType();
    void adjustedTypesHaveAnUpdater();
};

void TestFirmwareTypeCompleteness::everyTypeIsServed_data()
{
    QTest::addColumn<int>("type");
    const QList<int> types = everyDeviceType();
    QVERIFY(!types.isEmpty());
    for (int type : types)
        QTest::addRow("type %d", type) << type;
}

// A type with no registry row has no communicator and is left alone; only
// the cameras, which are opened and never queried, may go without one.
void TestFirmwareTypeCompleteness::everyTypeIsServed()
{
    QFETCH(int, type);
    QVERIFY2(hasRegistryRow(type) || DeviceTypeHandling::of(type).camera, "no registry row");
}

void TestFirmwareTypeCompleteness::registryRowsNameATypeAndAFamily()
{
    const QDir firmware(QStringLiteral(MOVRA_SOURCE_DIR "/firmware"));
    for (const FirmwareFamilyRegistry::Row& row : FirmwareFamilyRegistry::rows()) {
        const QString where = QStringLiteral("type %1, family %2").arg(row.deviceType).arg(row.family);
        QVERIFY2(isDeviceType(row.deviceType), qPrintable(where));
        QVERIFY2(row.family && firmware.exists(QString::fromLatin1(row.family)), qPrintable(where));
        QVERIFY2(row.versionQuery || row.update, qPrintable(where));
    }
}

void TestFirmwareTypeCompleteness::handlingRowsOnePerType()
{
    QSet<int> seen;
    for (const DeviceTypeHandling& row : DeviceTypeHandling::rows()) {
        QVERIFY2(isDeviceType(row.deviceType), qPrintable(QString::number(row.deviceType)));
        QVERIFY2(!seen.contains(row.deviceType), qPrintable(QString::number(row.deviceType)));
        seen.insert(row.deviceType);
    }
}

// An update whose type a rule changes runs with the new type's communicator.
void TestFirmwareTypeCompleteness::adjustedTypesHaveAnUpdater()
{
    for (const UpdateTypeRule& rule : UpdateTypeRules::rows()) {
        const QString where = QStringLiteral("%1 -> %2").arg(rule.fromType).arg(rule.toType);
        QVERIFY2(rule.fromType == UpdateTypeRule::AnyType || isDeviceType(rule.fromType), qPrintable(where));
        QVERIFY2(rule.toType == UpdateTypeRule::SameType || hasUpdateRow(rule.toType), qPrintable(where));
    }
}

QTEST_APPLESS_MAIN(TestFirmwareTypeCompleteness)
#include "tst_firmwaretypecompleteness.moc"
