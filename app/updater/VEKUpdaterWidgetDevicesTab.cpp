// The Devices tab: the device tree's rows and
// statuses, the installed versions, and what a selected row shows in the
// panes. What differs by device type comes from DeviceTypeRules.

#include "app/updater/VEKUpdaterWidget.h"
#include "ui_UpdaterWidgetUi.h"

#include "app/catalogue/CatalogueAddresses.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/PaneDocuments.h"
#include "app/updater/UpdaterWidgetHelpers.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareUpdater.h"
#include "icons/IconFont.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace nsUpdaterWidget;
using nsUpdater::DeviceIdentifier;

namespace {

constexpr int DeviceRowMarker = -1;
constexpr int InitializedMessageMs = 1500;

QString note(const QString& text)
{
    return QStringLiteral("<a style=\"color: #4e9ccf;\">%1</a>").arg(ProgressMessages::translated(text));
}

QString deprecatedNotice()
{
    return QStringLiteral("<a style=\"color: #ff0000;\">%1</a>")
        .arg(ProgressMessages::translated(ProgressMessages::NoteDeprecatedDriver));
}

bool isConnectedItem(const QTreeWidgetItem* item)
{
    return item && item->data(1, Qt::UserRole).toInt() == 1;
}

// The port byte of a USB uid (04D8-F57E-0103-05 gives 3); 0 when there is none.
int portNumber(const QString& uid)
{
    bool ok = false;
    const int port = uid.mid(12, 2).toInt(&ok, 16);
    return ok ? port : 0;
}

// A pane's caption or word, in its rich text, for another. It comes before
// any version filled in, so only its first occurrence is its own.
void swapPaneWord(QString& pane, PaneWord from, PaneWord to)
{
    const QString before = paneWord(from).toHtmlEscaped();
    const qsizetype at = pane.indexOf(before);
    if (at >= 0)
        pane.replace(at, before.size(), paneWord(to).toHtmlEscaped());
}

FirmwareInformation missingRecord()
{
    FirmwareInformation information;
    const QString missing = nsUpdater::MissingVersionMarker;
    information.motherboardInstalledVersion = missing;
    information.motherboardAvailableVersion = missing;
    information.channelInstalledVersion = missing;
    information.channelAvailableVersion = missing;
    information.bootloaderVersion = missing;
    return information;
}

} // namespace

void VEKUpdaterWidget::initializeDeviceTree()
{
    QTreeWidget* tree = m_ui->treeWidget_device;
    tree->clear();
    tree->setColumnCount(2);
    tree->setHeaderLabels(TreeHeaderLabels);
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
        auto* item = new QTreeWidgetItem(tree);
        item->setText(0, DeviceTypeRules::displayName(rule.type));
        item->setData(0, Qt::UserRole, int(rule.type));
        item->setHidden(rule.typeRow.testFlag(DeviceTypeRules::StartsHidden));
        setDeviceItemConnected(item, false);
    }
    m_connectedDeviceCount = 0;
    tree->sortItems(0, Qt::AscendingOrder);
    tree->setSortingEnabled(false);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->resizeColumnToContents(0);
    tree->setColumnWidth(0, tree->width() / 2);
    connect(tree, &QTreeWidget::currentItemChanged, this, &VEKUpdaterWidget::onDeviceTreeWidgetItemSelected);
}

QTreeWidgetItem* VEKUpdaterWidget::typeItem(int deviceType) const
{
    QTreeWidget* tree = m_ui->treeWidget_device;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == deviceType)
            return item;
    }
    return nullptr;
}

void VEKUpdaterWidget::setDeviceItemConnected(QTreeWidgetItem* item, bool connected)
{
    if (!item)
        return;
    const int value = item->data(0, Qt::UserRole).toInt();
    if (const QSharedPointer<IconFont> iconFont = iconFontInstance())
        item->setIcon(1, iconFont->makeIcon(connected ? 0 : 1, StatusGlyph, QVariantMap()));
    item->setText(
        1, ProgressMessages::translated(connected ? ProgressMessages::Connected : ProgressMessages::NotConnected));
    item->setData(1, Qt::UserRole, connected ? 1 : 0);
    if (value == DeviceRowMarker || DeviceTypeRules::of(value).typeRow.testFlag(DeviceTypeRules::NotCounted))
        return;
    if (connected)
        ++m_connectedDeviceCount;
    else if (item->childCount() > 0)
        --m_connectedDeviceCount;
}

void VEKUpdaterWidget::onDeviceConnectionStatusReceived(DeviceIdentifier deviceID, QString name, QString uid,
                                                        bool isConnected)
{
    if (!isConnected) {
        removeDeviceItems(uid);
        return;
    }
    QTreeWidgetItem* item = typeItem(deviceID);
    if (!item)
        return;
    FirmwareInformation information;
    for (const FirmwareInformation& candidate : m_informationHandler->getFirmwareInformationList(deviceID)) {
        if (candidate.uid == uid)
            information = candidate;
    }
    addConnectedDeviceItem(information, deviceID, item, name, uid);
}

// Row i of a type stands for record i of its list: a uid without a record
// has no row, and taking some other row would leave every later update
// aimed at the wrong device. A uid listed under several types (a device
// that was typed anew) leaves each of them, as the model drops each record.
void VEKUpdaterWidget::removeDeviceItems(const QString& uid)
{
    if (uid.isEmpty())
        return;
    QTreeWidget* tree = m_ui->treeWidget_device;
    bool recordFound = false;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* parentItem = tree->topLevelItem(i);
        const QList<FirmwareInformation> list =
            m_informationHandler->getFirmwareInformationList(parentItem->data(0, Qt::UserRole).toInt());
        int index = -1;
        for (int j = 0; j < list.size(); ++j) {
            if (list.at(j).uid == uid)
                index = j;
        }
        if (index < 0)
            continue;
        recordFound = true;
        if (index >= parentItem->childCount())
            continue;
        setDeviceItemConnected(parentItem, false);
        QTreeWidgetItem* child = nullptr;
        {
            // The selection handler must not read a row whose record is going.
            const QSignalBlocker blocker(tree);
            child = parentItem->takeChild(index);
        }
        setDeviceItemConnected(child, false);
        delete child;
    }
    if (!recordFound)
        return;
    m_informationHandler->removeFirmwareInformation(uid);
    tree->clearSelection();
}

void VEKUpdaterWidget::addConnectedDeviceItem(const FirmwareInformation& information, DeviceIdentifier deviceType,
                                              QTreeWidgetItem* typeItem, const QString& name, const QString& uid)
{
    if (!typeItem || information.uid == uid)
        return;
    setDeviceItemConnected(typeItem, true);
    m_informationHandler->addFirmwareInformation(deviceType, uid);

    auto* item = new QTreeWidgetItem(typeItem);
    item->setData(0, Qt::UserRole, DeviceRowMarker);
    const QString port = QString::number(portNumber(uid));
    const QString withPort = QStringLiteral("%1 (Port #%2)");
    const bool isBootloader = name == ProgressMessages::Bootloader;
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(deviceType);
    switch (rule.label) {
    case DeviceTypeRules::DeviceRowLabel::NameAndPort: item->setText(0, withPort.arg(name, port)); break;
    case DeviceTypeRules::DeviceRowLabel::FpgaAndPort: item->setText(0, withPort.arg(FpgaLabel, port)); break;
    case DeviceTypeRules::DeviceRowLabel::FpgaAndPortWhenBootloader:
        item->setText(0, withPort.arg(isBootloader ? FpgaLabel : name, port));
        break;
    case DeviceTypeRules::DeviceRowLabel::NameOnly: item->setText(0, name); break;
    }
    if (isBootloader || name.contains(QLatin1String("Cypress FX3")))
        item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    setDeviceItemConnected(item, true);
    if (m_session.usb3FollowUp && rule.typeRow.testFlag(DeviceTypeRules::SelectedDuringUsb3FollowUp))
        m_ui->treeWidget_device->setCurrentItem(item);
    typeItem->setExpanded(true);
}

void VEKUpdaterWidget::onDeviceVersionReceived(QSharedPointer<nsUpdater::DeviceCommunicationInfo> infos)
{
    if (!infos)
        return;
    if (DeviceTypeRules::of(infos->deviceType).typeRow.testFlag(DeviceTypeRules::ShownByVersionReport))
        setTypeItemHidden(static_cast<DeviceIdentifier>(infos->deviceType), false);
    onDeviceConnectionStatusReceived(static_cast<DeviceIdentifier>(infos->deviceType), infos->name, infos->uid, true);
    // Versions only for a device that has its row: a uid listed under
    // another type alone must keep that record as it is.
    bool hasRecord = false;
    for (const FirmwareInformation& information : m_informationHandler->getFirmwareInformationList(infos->deviceType))
        hasRecord = hasRecord || (!infos->uid.isEmpty() && information.uid == infos->uid);
    if (!hasRecord)
        return;
    m_informationHandler->setDeviceVersions(
        nsFirmware::DeviceVersions { infos->motherboardVersion, infos->channelVersion, infos->bootloaderVersion },
        infos->uid);
    emit sendMessageToStatusBar(ProgressMessages::translated(ProgressMessages::DeviceInitialized),
                                InitializedMessageMs);
}

void VEKUpdaterWidget::setTypeItemHidden(DeviceIdentifier deviceType, bool hidden)
{
    const QList<QTreeWidgetItem*> items =
        m_ui->treeWidget_device->findItems(DeviceTypeRules::displayName(deviceType), Qt::MatchExactly, 0);
    if (!items.isEmpty())
        items.first()->setHidden(hidden);
}

void VEKUpdaterWidget::onSetBootloaderItemStatusReceived(bool status)
{
    setTypeItemHidden(nsUpdater::Bootloader, status);
}

void VEKUpdaterWidget::onSetMotherboardItemStatusReceived(bool status)
{
    setTypeItemHidden(nsUpdater::Motherboard, status);
}

void VEKUpdaterWidget::onSetChannelsItemStatusReceived(bool status)
{
    setTypeItemHidden(nsUpdater::Channels, status);
}

void VEKUpdaterWidget::onSetMemoryManagerItemStatusReceived(bool status)
{
    setTypeItemHidden(nsUpdater::EEPROMMemoryManager, status);
}

void VEKUpdaterWidget::onSetUSB3CommunicationItemStatusReceived(bool status)
{
    setTypeItemHidden(nsUpdater::USB3Driver, status);
}

void VEKUpdaterWidget::onCheckForDeviceUpdateClicked(bool isChecked)
{
    Q_UNUSED(isChecked)
    m_updatesChecked = true;
    emit sendRequestToNetwork(nsUpdater::firmwareCatalogueUrl(), true);
}

void VEKUpdaterWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F7) {
        m_ui->pb_updateDeviceManually->setVisible(!m_ui->pb_updateDeviceManually->isVisible());
        event->accept();
        return;
    }
    event->ignore();
}

void VEKUpdaterWidget::onDeviceTreeWidgetItemSelected(QTreeWidgetItem* itemSelected,
                                                      QTreeWidgetItem* previousItemSelected)
{
    Q_UNUSED(previousItemSelected)
    if (!itemSelected)
        return;

    QTreeWidgetItem* parentItem = itemSelected->parent();
    const int deviceType = (parentItem ? parentItem : itemSelected)->data(0, Qt::UserRole).toInt();
    const int index = parentItem ? parentItem->indexOfChild(itemSelected) : 0;
    const QList<FirmwareInformation> list = m_informationHandler->getFirmwareInformationList(deviceType);
    const bool recordFound = index >= 0 && index < list.size();
    const FirmwareInformation information = recordFound ? list.at(index) : missingRecord();

    QString bootloader = m_deviceBootloaderTemplate;
    QString motherboard = m_deviceMotherboardTemplate;
    QString channel = m_deviceChannelTemplate;
    QString description = m_deviceDescriptionTemplate;

    m_motherboardUpdateAvailable =
        isNewerVersion(information.motherboardInstalledVersion, information.motherboardAvailableVersion);
    m_channelsUpdateAvailable =
        isNewerVersion(information.channelInstalledVersion, information.channelAvailableVersion);
    // A known motherboard version without a published one has not been
    // checked; no channel pair may report it as up to date.
    const bool motherboardUnchecked = information.motherboardAvailableVersion == nsUpdater::MissingVersionMarker
                                      && information.motherboardInstalledVersion != nsUpdater::MissingVersionMarker;
    const bool motherboardPair = m_motherboardUpdateAvailable || (!m_channelsUpdateAvailable && motherboardUnchecked);
    m_ui->lb_infoUpdateDevice->setText(
        motherboardPair
            ? updateStatusText(information.motherboardInstalledVersion, information.motherboardAvailableVersion)
            : updateStatusText(information.channelInstalledVersion, information.channelAvailableVersion));

    fillVersionPanes(information, itemSelected, bootloader, motherboard, channel);
    fillDevicePanesByType(deviceType, information, itemSelected, bootloader, motherboard, channel, description);

    if (!parentItem) {
        const QString missing = marker();
        bootloader = m_deviceBootloaderTemplate.arg(missing);
        motherboard = m_deviceMotherboardTemplate.arg(missing, shown(information.motherboardAvailableVersion));
        channel = m_deviceChannelTemplate.arg(missing, shown(information.channelAvailableVersion));
        m_ui->textBrowser_deviceBoot->hide();
        m_ui->textBrowser_deviceMB->hide();
        m_ui->textBrowser_deviceChannel->hide();
        m_ui->pb_updateDevice->setEnabled(false);
        m_ui->pb_updateDeviceManually->setEnabled(false);
        m_ui->lb_infoUpdateDevice->hide();
    } else {
        m_ui->lb_infoUpdateDevice->show();
        // A device row without its record has nothing an update could target.
        if (!recordFound) {
            m_ui->pb_updateDevice->setEnabled(false);
            m_ui->pb_updateDeviceManually->setEnabled(false);
        }
    }

    m_ui->textBrowser_deviceBoot->setHtml(bootloader);
    m_ui->textBrowser_deviceMB->setHtml(motherboard);
    m_ui->textBrowser_deviceChannel->setHtml(channel);
    m_ui->textBrowser_deviceDesc->setHtml(description);
}

void VEKUpdaterWidget::applyConnectedRule(QTreeWidgetItem* item)
{
    if (!isConnectedItem(item))
        return;
    m_ui->pb_updateDevice->setEnabled(m_motherboardUpdateAvailable || m_channelsUpdateAvailable);
    m_ui->pb_updateDeviceManually->setEnabled(m_updatesChecked);
}

void VEKUpdaterWidget::fillVersionPanes(const FirmwareInformation& information, QTreeWidgetItem* item,
                                        QString& bootloader, QString& motherboard, QString& channel)
{
    bootloader = m_deviceBootloaderTemplate.arg(shown(information.bootloaderVersion));
    motherboard = m_deviceMotherboardTemplate.arg(shown(information.motherboardInstalledVersion),
                                                  shown(information.motherboardAvailableVersion));
    channel = m_deviceChannelTemplate.arg(shown(information.channelInstalledVersion),
                                          shown(information.channelAvailableVersion));
    applyConnectedRule(item);
    m_ui->textBrowser_deviceBoot->hide();
    m_ui->textBrowser_deviceMB->show();
    m_ui->textBrowser_deviceChannel->hide();
}

QString VEKUpdaterWidget::standardDescription(int deviceType, const QString& deviceDescription) const
{
    return m_deviceDescriptionTemplate.arg(ProgressMessages::translated(deviceDescription),
                                           pageLink(DeviceTypeRules::webPage(deviceType)));
}

void VEKUpdaterWidget::fillDevicePanesByType(int deviceType, const FirmwareInformation& information,
                                             QTreeWidgetItem* item, QString& bootloader, QString& motherboard,
                                             QString& channel, QString& description)
{
    using Rule = DeviceTypeRules::PaneRule;
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(deviceType);
    const QString deviceDescription = rule.description ? *rule.description : QString();
    switch (rule.panes) {
    case Rule::Standard: description = standardDescription(deviceType, deviceDescription); break;
    case Rule::Deprecated:
        checkDeprecatedDriver(rule.deprecatedDigit, deviceDescription, information, item, description);
        break;
    case Rule::Bootloader: fillBootloaderPanes(information, deviceDescription, bootloader, description); return;
    case Rule::Camera: fillCameraPanes(item, deviceDescription, bootloader, motherboard, channel, description); return;
    case Rule::Channels: fillChannelsPanes(information, item, deviceDescription, bootloader, description); return;
    case Rule::Motherboard:
        fillMotherboardPanes(information, item, deviceDescription, bootloader, motherboard, description);
        return;
    case Rule::USB3Driver: fillUSB3DriverPanes(information, deviceDescription, bootloader, description); return;
    case Rule::Sarvanti: fillSarvantiPanes(information, item, deviceDescription, motherboard, description); return;
    case Rule::Nothing: return;
    }
    if (rule.shownPanes.testFlag(DeviceTypeRules::BootloaderPane))
        m_ui->textBrowser_deviceBoot->show();
    if (rule.shownPanes.testFlag(DeviceTypeRules::MotherboardPane))
        m_ui->textBrowser_deviceMB->show();
    if (rule.shownPanes.testFlag(DeviceTypeRules::ChannelPane))
        m_ui->textBrowser_deviceChannel->show();
    if (rule.paneExtras.testFlag(DeviceTypeRules::FirmwareHeading))
        swapPaneWord(motherboard, PaneWord::MotherboardHeading, PaneWord::FirmwareHeading);
    if (rule.paneExtras.testFlag(DeviceTypeRules::ManualAlwaysEnabled))
        m_ui->pb_updateDeviceManually->setEnabled(true);
}

void VEKUpdaterWidget::checkDeprecatedDriver(int threshold, const QString& deviceDescription,
                                             const FirmwareInformation& information, QTreeWidgetItem* item,
                                             QString& description)
{
    const QString& channelVersion = information.channelInstalledVersion;
    const int digit =
        !channelVersion.isEmpty() && channelVersion.at(0).isDigit() ? channelVersion.at(0).digitValue() : -1;
    if (digit == threshold && item->parent() && item->text(0).contains(QLatin1String("HKTR4"))) {
        const QTreeWidgetItem* parentItem = item->parent();
        description = m_deviceDescriptionTemplate.arg(
            deprecatedNotice(), pageLink(DeviceTypeRules::webPage(parentItem->data(0, Qt::UserRole).toInt())));
        m_ui->pb_updateDevice->setEnabled(false);
        m_ui->pb_updateDeviceManually->setEnabled(false);
        return;
    }
    const QTreeWidgetItem* typeRow = item->parent() ? item->parent() : item;
    description = standardDescription(typeRow->data(0, Qt::UserRole).toInt(), deviceDescription);
    applyConnectedRule(item);
}

void VEKUpdaterWidget::fillBootloaderPanes(const FirmwareInformation& information, const QString& deviceNote,
                                           QString& bootloader, QString& description)
{
    bootloader = m_deviceBootloaderTemplate.arg(shown(information.bootloaderVersion));
    description =
        m_deviceDescriptionTemplate.arg(note(deviceNote), ProgressMessages::translated(ProgressMessages::WebLink));
    m_ui->textBrowser_deviceBoot->show();
    m_ui->textBrowser_deviceMB->hide();
    m_ui->textBrowser_deviceChannel->hide();
    m_ui->pb_updateDevice->setEnabled(false);
    m_ui->pb_updateDeviceManually->setEnabled(true);
}

QString VEKUpdaterWidget::firstCameraSerialNumber() const
{
    const QList<QSharedPointer<MovraDeviceInfo>> cameras = m_firmwareUpdater->getAvailableDevices(nsUpdater::Camera);
    if (cameras.isEmpty() || !cameras.first())
        return marker();
    return cameras.first()->serialNumber();
}

void VEKUpdaterWidget::fillCameraPanes(QTreeWidgetItem* item, const QString& deviceDescription, QString& bootloader,
                                       QString& motherboard, QString& channel, QString& description)
{
    const QString missing = marker();
    bootloader = m_deviceBootloaderTemplate.arg(firstCameraSerialNumber().toHtmlEscaped());
    motherboard = m_deviceMotherboardTemplate.arg(missing, missing);
    channel = m_deviceChannelTemplate.arg(missing, missing);
    description = standardDescription(nsUpdater::Camera, deviceDescription);
    swapPaneWord(bootloader, PaneWord::BootloaderHeading, PaneWord::CameraHeading);
    swapPaneWord(bootloader, PaneWord::Installed, PaneWord::SerialNumber);
    m_ui->textBrowser_deviceBoot->show();
    m_ui->textBrowser_deviceMB->hide();
    m_ui->textBrowser_deviceChannel->hide();
    if (isConnectedItem(item)) {
        m_ui->pb_updateDevice->setEnabled(true);
        m_ui->pb_updateDeviceManually->setEnabled(false);
    }
}

void VEKUpdaterWidget::fillChannelsPanes(const FirmwareInformation& information, QTreeWidgetItem* item,
                                         const QString& deviceNote, QString& bootloader, QString& description)
{
    bootloader = m_deviceBootloaderTemplate.arg(shown(information.bootloaderVersion));
    description = m_deviceDescriptionTemplate.arg(note(deviceNote), marker());
    m_ui->textBrowser_deviceBoot->show();
    m_ui->textBrowser_deviceMB->hide();
    m_ui->textBrowser_deviceChannel->hide();
    applyConnectedRule(item);
}

void VEKUpdaterWidget::fillMotherboardPanes(const FirmwareInformation& information, QTreeWidgetItem* item,
                                            const QString& deviceNote, QString& bootloader, QString& motherboard,
                                            QString& description)
{
    bootloader = m_deviceBootloaderTemplate.arg(shown(information.bootloaderVersion));
    motherboard = m_deviceMotherboardTemplate.arg(shown(information.motherboardInstalledVersion),
                                                  shown(information.motherboardAvailableVersion));
    description = m_deviceDescriptionTemplate.arg(note(deviceNote), marker());
    m_ui->textBrowser_deviceBoot->show();
    m_ui->textBrowser_deviceMB->show();
    m_ui->textBrowser_deviceChannel->hide();
    if (isConnectedItem(item)) {
        m_ui->pb_updateDevice->setEnabled(m_motherboardUpdateAvailable || m_channelsUpdateAvailable);
        m_ui->pb_updateDeviceManually->setEnabled(true);
    }
}

void VEKUpdaterWidget::fillUSB3DriverPanes(const FirmwareInformation& information, const QString& deviceNote,
                                           QString& bootloader, QString& description)
{
    bootloader = m_deviceBootloaderTemplate.arg(shown(information.motherboardAvailableVersion));
    swapPaneWord(bootloader, PaneWord::Installed, PaneWord::Available);
    description =
        m_deviceDescriptionTemplate.arg(note(deviceNote), ProgressMessages::translated(ProgressMessages::WebLink));
    m_ui->textBrowser_deviceBoot->show();
    m_ui->textBrowser_deviceMB->hide();
    m_ui->textBrowser_deviceChannel->hide();
    m_ui->pb_updateDevice->setEnabled(m_updatesChecked);
    m_ui->pb_updateDeviceManually->setEnabled(m_updatesChecked);
}

void VEKUpdaterWidget::fillSarvantiPanes(const FirmwareInformation& information, QTreeWidgetItem* item,
                                         const QString& deviceDescription, QString& motherboard, QString& description)
{
    const QString text = item->text(0);
    const bool variant = text.contains(QLatin1String("Motor")) || text.contains(QLatin1String("Disk"));
    const QString offered = variant ? information.channelAvailableVersion : information.motherboardAvailableVersion;
    motherboard = m_deviceMotherboardTemplate.arg(shown(information.motherboardInstalledVersion), shown(offered));
    const QTreeWidgetItem* typeRow = item->parent() ? item->parent() : item;
    description = standardDescription(typeRow->data(0, Qt::UserRole).toInt(), deviceDescription);
    if (isConnectedItem(item)) {
        m_ui->pb_updateDevice->setEnabled(isNewerVersion(information.motherboardInstalledVersion, offered));
        m_ui->lb_infoUpdateDevice->setText(updateStatusText(information.motherboardInstalledVersion, offered));
        m_ui->pb_updateDeviceManually->setEnabled(m_updatesChecked);
    }
}
