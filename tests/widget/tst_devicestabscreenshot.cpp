#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/PictureProbe.h"
#include "tests/support/RoadSupport.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// A picture of the Devices tab drawn by a real X server, with two
// simulated instruments and the firmware catalogue of the local server
// applied, checked against what the tree says it shows. The picture stays
// in the build folder as test output.
class TestDevicesTabScreenshot : public QObject
{
    Q_OBJECT

    // The rows of the device tree are drawn where the tree says they are:
    // each wholly shown row has its name written inside its rectangle and
    // nothing across its edges, its status icon beside its status (a filled
    // circle when connected, a ring when not), and only the current row has
    // the selection's colour.
    static void checkDeviceRows(const PictureProbe& probe, QWidget& window, QTreeWidget* tree)
    {
        QList<QTreeWidgetItem*> rows;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect r = tree->visualItemRect(*it);
            if (!(*it)->isHidden() && r.isValid() && tree->viewport()->rect().contains(r))
                rows.append(*it);
        }
        QVERIFY2(rows.size() >= 15, qPrintable(QString::number(rows.size())));
        // The program's icon colour, as the environment set it.
        const QColor icon(78, 156, 207);
        const QColor highlight = tree->palette().color(QPalette::Highlight);
        const QColor inactiveHighlight = tree->palette().color(QPalette::Inactive, QPalette::Highlight);
        const int statusX = tree->header()->sectionViewportPosition(1);
        int highlighted = 0;
        for (QTreeWidgetItem* item : qAsConst(rows)) {
            const QRect inViewport = tree->visualItemRect(item);
            const QRect row(tree->viewport()->mapTo(&window, inViewport.topLeft()), inViewport.size());
            const int split = tree->viewport()->mapTo(&window, QPoint(statusX, 0)).x();
            const QRect name(row.left(), row.top(), split - row.left(), row.height());
            const QRect status(split, row.top(), row.right() - split, row.height());
            const QColor background = probe.dominantColour(row);
            const QList<int> ink = probe.inkRows(name, background);
            const int iconPixels = probe.pixelsNear(status, icon, 24);
            const QString what = QStringLiteral("%1 (%2) at %3,%4: background %5, ink rows %6-%7, icon pixels %8")
                                     .arg(item->text(0), item->text(1))
                                     .arg(row.x())
                                     .arg(row.y())
                                     .arg(background.name())
                                     .arg(ink.value(0, -1))
                                     .arg(ink.isEmpty() ? -1 : ink.last())
                                     .arg(iconPixels);
            QVERIFY2(probe.inkPixels(name, background) >= 50, qPrintable(what));
            QVERIFY2(ink.first() > 0 && ink.last() < row.height() - 1, qPrintable(what));
            const bool selectionColour =
                PictureProbe::near(background, highlight, 2) || PictureProbe::near(background, inactiveHighlight, 2);
            QVERIFY2(selectionColour == (item == tree->currentItem()), qPrintable(what));
            if (selectionColour) {
                ++highlighted;
                continue;
            }
            if (item->text(1) == QLatin1String("Connected"))
                QVERIFY2(iconPixels >= 100, qPrintable(what));
            else
                QVERIFY2(iconPixels >= 10 && iconPixels <= 60, qPrintable(what));
        }
        QCOMPARE(highlighted, 1);
    }

private slots:
    void devicesTab()
    {
        WidgetTestEnvironment environment;
        QVERIFY(environment.setUp(WidgetTestEnvironment::IconColours::Program));

        CatalogueServer server;
        QVERIFY(server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        QFile catalogue(QStringLiteral(MOVRA_SCRIPTS_FOLDER "/firmwares_admin.json"));
        QVERIFY(catalogue.open(QIODevice::ReadOnly));
        QVERIFY(
            server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"), catalogue.readAll()));

        auto bus = QSharedPointer<SimUsbBus>::create();
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
        auto driver = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("NXLTV2")), 3, 6);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            widget.resize(571, 650);
            widget.show();
            QVERIFY(QTest::qWaitForWindowExposed(&widget));
            auto* tree = widget.findChild<QTreeWidget*>(QStringLiteral("treeWidget_device"));
            QTreeWidgetItem* joints = nullptr;
            QTreeWidgetItem* drivers = nullptr;
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                const int type = tree->topLevelItem(i)->data(0, Qt::UserRole).toInt();
                if (type == nsUpdater::AssistedRotaryJoint)
                    joints = tree->topLevelItem(i);
                if (type == nsUpdater::KZR410)
                    drivers = tree->topLevelItem(i);
            }
            QVERIFY(joints && drivers);
            QTRY_VERIFY_WITH_TIMEOUT(joints->childCount() == 1 && drivers->childCount() == 1, road::FoundAndReadMs);
            tree->setCurrentItem(joints->child(0));
            auto* update = widget.findChild<QPushButton*>(QStringLiteral("pb_updateDevice"));
            widget.findChild<QPushButton*>(QStringLiteral("pb_checkUpdateDevice"))->click();
            QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), 10000);
            QTest::qWait(200);

            const QImage picture = widget.grab().toImage();
            QVERIFY(QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR)));
            const QString path = QStringLiteral(MOVRA_SCREENSHOT_DIR "/devices_tab.png");
            QVERIFY(picture.save(path));
            QCOMPARE(picture.size(), widget.size() * widget.devicePixelRatio());
            const PictureProbe probe(picture, widget.devicePixelRatio());
            // Not one flat colour: the tree, texts and panes were drawn.
            QVERIFY(probe.colourCount(7) > 20);
            checkDeviceRows(probe, widget, tree);
        }
        driver.reset();
        joint.reset();
    }
};

// Starts an X server of its own before the application picks its platform.
int main(int argc, char* argv[])
{
    int fds[2];
    if (pipe(fds) != 0)
        return 2;
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        const QByteArray fd = QByteArray::number(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-nolisten", "tcp", "-screen", "0", "1024x1000x24",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    QByteArray display;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        display.append(c);
    close(fds[0]);
    if (xvfb < 0 || display.isEmpty()) {
        if (xvfb > 0)
            waitpid(xvfb, nullptr, 0);
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", ":" + display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication application(argc, argv);
        TestDevicesTabScreenshot test;
        result = QTest::qExec(&test, argc, argv);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}

#include "tst_devicestabscreenshot.moc"
