// Every device type has its row in each of the app's tables by device type: a
// type added to DeviceIdentifier without them fails here.
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "tests/support/EveryDeviceType.h"

#include <QtTest>

using namespace TestDeviceTypes;

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
