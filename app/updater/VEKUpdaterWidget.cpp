#include "app/updater/VEKUpdaterWidget.h"

#include "app/catalogue/CatalogueAddresses.h"
#include "app/catalogue/DownloadProgress.h"
#include "app/catalogue/NetworkCommunicator.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/dialogs/SoftwareChoiceDialog.h"
#include "app/installed/InstalledPluginScanner.h"
#include "app/installed/InstalledSoftwareReader.h"
#include "app/installed/InstallerRunner.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/UpdaterWidgetUi.h"
#include "app/updater/VersionComparison.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareUpdater.h"
#include "icons/IconFont.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBrowser>
#include <QThread>
#include <QTreeWidget>

using nsUpdater::DeviceIdentifier;

namespace {

constexpr int StatusGlyph = 0xF111;
constexpr int DeviceRowMarker = -1;
constexpr int InitializedMessageMs = 1500;
constexpr int NetworkErrorMessageMs = 5000;

const char* const TreeStyleSheet = "QTreeView:branch:has-siblings:!adjoins-item{border-image: url() 0;}"
                                   "QTreeView:branch:has-siblings:adjoins-item{border-image: url() 0;}"
                                   "QTreeView:branch:!has-children:!has-siblings:adjoins-item{border-image: url() 0;}";

QString marker()
{
    return ProgressMessages::translated(ProgressMessages::NotAvailable);
}

// Catalogue and device texts go into rich text: they must not add markup.
QString shown(const QString& version)
{
    return nsUpdater::displayVersion(version).toHtmlEscaped();
}

QString pageLink(const QString& page)
{
    return QStringLiteral("<a href=\"%1\" style=\"color: #4e9ccf;\">%1</a>").arg(page.toHtmlEscaped());
}

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

VEKUpdaterWidget::VEKUpdaterWidget(QWidget* parent)
    : VEKUpdaterWidget(QSharedPointer<CommunicatorFactory>(), parent)
{
}

VEKUpdaterWidget::VEKUpdaterWidget(QSharedPointer<CommunicatorFactory> transports, QWidget* parent)
    : QTabWidget(parent)
    , m_ui(new UpdaterWidgetUi)
{
    m_ui->setupUi(this);
    setCurrentIndex(0);

    QString acquisitionVersion;
    QString memoryManagerVersion;
    QString analysisVersion;
    readInstalledSoftware(acquisitionVersion, memoryManagerVersion, analysisVersion);
    m_informationHandler =
        QSharedPointer<UpdaterInformationHandler>::create(acquisitionVersion, memoryManagerVersion, analysisVersion);

    connect(m_ui->pb_checkUpdateDevice, &QPushButton::clicked, this, &VEKUpdaterWidget::onCheckForDeviceUpdateClicked);

    m_progressDialog = QSharedPointer<ProgressDialog>::create();

    createFirmwareUpdater(transports);
    createNetworkCommunicator();
    connectFirmwareUpdateFlow();

    initializePanes();
    initializeDeviceTree();
    initializePluginTree();
    initializeSoftwareTree();
    readInstalledPlugins();

    for (QTreeWidget* tree : { m_ui->treeWidget_device, m_ui->treeWidget_plugin, m_ui->treeWidget_software })
        tree->setStyleSheet(QString::fromLatin1(TreeStyleSheet));
    m_ui->pb_updateDevice->setEnabled(false);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

VEKUpdaterWidget::~VEKUpdaterWidget()
{
    // The trees outlive this part of the object; nothing they do while
    // they go may reach its slots.
    for (QTreeWidget* tree : { m_ui->treeWidget_device, m_ui->treeWidget_plugin, m_ui->treeWidget_software })
        disconnect(tree, nullptr, this, nullptr);
    disconnect(m_firmwareUpdater.data(), nullptr, this, nullptr);
    if (m_networkThread) {
        if (m_networkThread->isRunning()) {
            m_networkThread->quit();
            m_networkThread->wait();
        }
        delete m_networkThread;
        m_networkThread = nullptr;
        m_networkCommunicator = nullptr;
    }
    delete m_ui;
    m_ui = nullptr;
    m_progressDialog.reset();
    m_firmwareUpdater.reset();
    m_informationHandler.reset();
}

void VEKUpdaterWidget::createFirmwareUpdater(const QSharedPointer<CommunicatorFactory>& transports)
{
    m_firmwareUpdater =
        transports ? QSharedPointer<FirmwareUpdater>::create(transports) : QSharedPointer<FirmwareUpdater>::create();
    FirmwareUpdater* updater = m_firmwareUpdater.data();
    connect(updater, &FirmwareUpdater::sendMessageToStatusBar, this, &VEKUpdaterWidget::sendMessageToStatusBar);
    connect(updater, &FirmwareUpdater::sendDeviceConnectedToView, this,
            &VEKUpdaterWidget::onDeviceConnectionStatusReceived);
    connect(updater, &FirmwareUpdater::sendInstalledVersionToView, this, &VEKUpdaterWidget::onDeviceVersionReceived);
    connect(updater, &FirmwareUpdater::sendBootloaderItemStatusToView, this,
            &VEKUpdaterWidget::onSetBootloaderItemStatusReceived);
    connect(updater, &FirmwareUpdater::sendMotherboardItemStatusToView, this,
            &VEKUpdaterWidget::onSetMotherboardItemStatusReceived);
    connect(updater, &FirmwareUpdater::sendChannelsItemStatusToView, this,
            &VEKUpdaterWidget::onSetChannelsItemStatusReceived);
    connect(updater, &FirmwareUpdater::sendUSB3CommunicationItemStatusToView, this,
            &VEKUpdaterWidget::onSetUSB3CommunicationItemStatusReceived);
}

void VEKUpdaterWidget::readInstalledSoftware(QString& acquisitionVersion, QString& memoryManagerVersion,
                                             QString& analysisVersion)
{
    const InstalledSoftwareReader reader;
    analysisVersion = reader.readInstalledAnalysisSoftwareVersion(&m_analysisSoftwareInstalled);
    memoryManagerVersion = reader.readInstalledMemoryManagerVersion(&m_memoryManagerInstalled);
    acquisitionVersion = reader.readInstalledAcquisitionSoftwareVersion(&m_acquisitionSoftwareInstalled);
}

void VEKUpdaterWidget::readInstalledPlugins()
{
    const QMap<nsUpdater::PluginIdentifier, QString> versions =
        InstalledPluginScanner::installedPluginVersions(QDir(InstalledPluginScanner::pluginFolder()));
    for (auto it = versions.cbegin(); it != versions.cend(); ++it)
        m_informationHandler->setPluginInstalledVersion(it.value(), it.key());
    QTreeWidget* tree = m_ui->treeWidget_plugin;
    if (tree->topLevelItemCount() > 0)
        onPluginTreeWidgetItemSelected(tree->topLevelItem(0), nullptr);
    refreshPluginInstallStatus();
}

void VEKUpdaterWidget::createNetworkCommunicator()
{
    m_networkThread = new QThread;
    m_networkCommunicator = new NetworkCommunicator;
    connect(m_networkCommunicator, &NetworkCommunicator::sendNetworkReply, this,
            &VEKUpdaterWidget::onNetworkReplyReceived);
    connect(m_networkCommunicator, &NetworkCommunicator::sendNetworkReplyInfos, this,
            &VEKUpdaterWidget::onNetworkReplyInfosReceived);
    connect(m_networkCommunicator, &NetworkCommunicator::sendNetworkReplyDownloadProgress, this,
            &VEKUpdaterWidget::onNetworkReplyDownloadProgressReceived);
    connect(m_networkCommunicator, &NetworkCommunicator::sendNetworkReplyDownloadDone, this,
            &VEKUpdaterWidget::onNetworkReplyDownloadDoneReceived);
    connect(this, &VEKUpdaterWidget::sendRequestToNetwork, m_networkCommunicator,
            &NetworkCommunicator::onAskRequestToNetworkReceived);
    connect(this, &VEKUpdaterWidget::sendForceExitToNetwork, m_networkCommunicator,
            &NetworkCommunicator::onForceExitReceived);
    connect(m_networkThread, &QThread::finished, m_networkCommunicator, &QObject::deleteLater);
    m_networkCommunicator->moveToThread(m_networkThread);
    m_networkThread->start();
}

void VEKUpdaterWidget::initializePanes()
{
    const QString missing = marker();
    const QString noDescription = ProgressMessages::translated(ProgressMessages::NoDescription);
    const QString webLink = ProgressMessages::translated(ProgressMessages::WebLink);

    m_deviceBootloaderTemplate = m_ui->textBrowser_deviceBoot->toHtml();
    m_deviceMotherboardTemplate = m_ui->textBrowser_deviceMB->toHtml();
    m_deviceChannelTemplate = m_ui->textBrowser_deviceChannel->toHtml();
    m_deviceDescriptionTemplate = m_ui->textBrowser_deviceDesc->toHtml();
    m_ui->textBrowser_deviceBoot->setHtml(m_deviceBootloaderTemplate.arg(missing));
    m_ui->textBrowser_deviceMB->setHtml(m_deviceMotherboardTemplate.arg(missing, missing));
    m_ui->textBrowser_deviceChannel->setHtml(m_deviceChannelTemplate.arg(missing, missing));
    m_ui->textBrowser_deviceDesc->setHtml(m_deviceDescriptionTemplate.arg(noDescription, webLink));
    m_ui->textBrowser_deviceDesc->setOpenExternalLinks(true);

    m_pluginVersionTemplate = m_ui->textBrowser_pluginVersion->toHtml();
    m_pluginDescriptionTemplate = m_ui->textBrowser_pluginDesc->toHtml();
    m_ui->textBrowser_pluginVersion->setHtml(m_pluginVersionTemplate.arg(missing, missing));
    m_ui->textBrowser_pluginDesc->setHtml(m_pluginDescriptionTemplate.arg(noDescription, webLink));
    m_ui->textBrowser_pluginDesc->setOpenExternalLinks(true);

    m_softwareVersionTemplate = m_ui->textBrowser_softwareVersion->toHtml();
    m_softwareDescriptionTemplate = m_ui->textBrowser_softwareDesc->toHtml();
    m_ui->textBrowser_softwareVersion->setHtml(m_softwareVersionTemplate.arg(missing, missing, missing));
    m_ui->textBrowser_softwareDesc->setHtml(m_softwareDescriptionTemplate.arg(noDescription, webLink));
    m_ui->textBrowser_softwareDesc->setOpenExternalLinks(true);
}

void VEKUpdaterWidget::initializeDeviceTree()
{
    QTreeWidget* tree = m_ui->treeWidget_device;
    tree->clear();
    tree->setColumnCount(2);
    tree->setHeaderLabels(TreeHeaderLabels);
    for (auto it = DeviceIdentifierNames.cbegin(); it != DeviceIdentifierNames.cend(); ++it) {
        auto* item = new QTreeWidgetItem(tree);
        item->setText(0, it.value());
        item->setData(0, Qt::UserRole, int(it.key()));
        item->setHidden(DeviceTypeRules::of(it.key()).typeRow.testFlag(DeviceTypeRules::StartsHidden));
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

void VEKUpdaterWidget::initializeNameTree(QTreeWidget* tree, const QList<int>& identifiers, const QStringList& names)
{
    tree->clear();
    tree->setColumnCount(2);
    tree->setHeaderLabels(TreeHeaderLabels);
    for (int i = 0; i < names.size() && i < identifiers.size(); ++i) {
        auto* item = new QTreeWidgetItem(tree);
        item->setText(0, names.at(i));
        item->setData(0, Qt::UserRole, identifiers.at(i));
    }
    tree->sortItems(0, Qt::AscendingOrder);
    tree->setSortingEnabled(false);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->resizeColumnToContents(0);
    tree->setColumnWidth(0, m_ui->treeWidget_device->width() / 2);
}

QList<int> VEKUpdaterWidget::parseVersion(const QString& version)
{
    return nsUpdater::parseVersion(version);
}

bool VEKUpdaterWidget::isNewerVersion(const QString& installedVersion, const QString& availableVersion)
{
    return nsUpdater::isNewerVersion(installedVersion, availableVersion);
}

QString VEKUpdaterWidget::updateStatusText(const QString& installedVersion, const QString& availableVersion)
{
    return nsUpdater::updateStatusText(installedVersion, availableVersion);
}

// ---- Devices tab: rows and statuses ----

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
    if (m_usb3FollowUp && rule.typeRow.testFlag(DeviceTypeRules::SelectedDuringUsb3FollowUp))
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
        m_ui->treeWidget_device->findItems(DeviceIdentifierNames.value(deviceType), Qt::MatchExactly, 0);
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

// ---- Devices tab: selection and panes ----

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
    return m_deviceDescriptionTemplate.arg(
        ProgressMessages::translated(deviceDescription),
        pageLink(DeviceIdentifierWebPages.value(static_cast<DeviceIdentifier>(deviceType))));
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
        motherboard.replace(QCoreApplication::translate("VEKUpdaterWidget", "Motherboard"),
                            QCoreApplication::translate("VEKUpdaterWidget", "Firmware"));
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
            deprecatedNotice(), pageLink(DeviceIdentifierWebPages.value(
                                    static_cast<DeviceIdentifier>(parentItem->data(0, Qt::UserRole).toInt()))));
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
    bootloader.replace(QCoreApplication::translate("VEKUpdaterWidget", "Bootloader"),
                       QCoreApplication::translate("VEKUpdaterWidget", "Camera Informations"));
    bootloader.replace(QCoreApplication::translate("VEKUpdaterWidget", "Installed"),
                       QCoreApplication::translate("VEKUpdaterWidget", "Serial Number"));
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
    bootloader.replace(QCoreApplication::translate("VEKUpdaterWidget", "Installed"),
                       QCoreApplication::translate("VEKUpdaterWidget", "Available"));
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

// ---- Catalogue replies and transfers ----

void VEKUpdaterWidget::onNetworkReplyReceived(QJsonDocument document)
{
    const QJsonObject root = document.object();
    if (root.contains(QLatin1String("Softwares")))
        onSoftwaresCatalogueReceived(root);
    if (root.contains(QLatin1String("Firmwares")))
        onFirmwaresCatalogueReceived(root);
    if (root.contains(QLatin1String("Plugins")))
        onPluginsCatalogueReceived(root);
    refreshPluginInstallStatus();
}

void VEKUpdaterWidget::onFirmwaresCatalogueReceived(const QJsonObject& root)
{
    const QJsonArray urls =
        root.value(QString::number(nsUpdater::Motherboard)).toObject().value(QLatin1String("URLS")).toArray();
    m_lightSourceMotherboardUrl = urls.size() > 0 ? urls.at(0).toString() : QString();
    m_consoleMotherboardUrl = urls.size() > 1 ? urls.at(1).toString() : QString();
    for (auto it = DeviceIdentifierNames.cbegin(); it != DeviceIdentifierNames.cend(); ++it)
        m_informationHandler->updateFirmwareInformation(root, it.key());
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_device->selectedItems();
    if (!selected.isEmpty())
        onDeviceTreeWidgetItemSelected(selected.first(), nullptr);
}

void VEKUpdaterWidget::onSoftwaresCatalogueReceived(const QJsonObject& root)
{
    for (auto it = SoftwareNames.cbegin(); it != SoftwareNames.cend(); ++it)
        m_informationHandler->updateSoftwareInformation(
            root, UpdaterInformationHandler::softwareIdentifierForEntry(root, it.key()));
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_software->selectedItems();
    if (!selected.isEmpty())
        onSoftwareTreeWidgetItemSelected(selected.first(), nullptr);
}

void VEKUpdaterWidget::onPluginsCatalogueReceived(const QJsonObject& root)
{
    for (auto it = PluginNames.cbegin(); it != PluginNames.cend(); ++it)
        m_informationHandler->updatePluginInformation(
            root, UpdaterInformationHandler::pluginIdentifierForEntry(root, it.key()));
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_plugin->selectedItems();
    if (!selected.isEmpty())
        onPluginTreeWidgetItemSelected(selected.first(), nullptr);
}

void VEKUpdaterWidget::onNetworkReplyInfosReceived(QString errorString)
{
    emit sendMessageToStatusBar(QCoreApplication::translate("VEKUpdaterWidget", "Network Error : %1").arg(errorString),
                                NetworkErrorMessageMs);
}

void VEKUpdaterWidget::onNetworkReplyDownloadProgressReceived(qlonglong bytesReceived, qlonglong bytesTotal)
{
    const nsUpdater::ProgressRange range = nsUpdater::scaledDownloadProgress(bytesReceived, bytesTotal);
    onProgressReceived(range.value, range.maximum);
}

// Offscreen or behind another window a shown dialog need not be the active
// window: being visible is what counts.
void VEKUpdaterWidget::onProgressReceived(int value, int maximum)
{
    if (!m_progressDialog->isVisible()) {
        m_progressDialog->show();
        emit sendDisableCloseBehavior(true);
    }
    m_progressDialog->setProgressMaximum(maximum);
    m_progressDialog->setProgressValue(value);
}

void VEKUpdaterWidget::onNetworkReplyDownloadDoneReceived(QString fileName)
{
    if (m_progressDialog->isVisible()) {
        m_progressDialog->clearDetailsInformation();
        m_progressDialog->close();
    }
    if (!fileName.isEmpty())
        m_downloadFileName = fileName;
    handleDownloadedFile();
}

void VEKUpdaterWidget::handleDownloadedFile()
{
    const QString path = NetworkCommunicator::downloadsFolder() + m_downloadFileName;
    const bool firmwareFile = m_downloadFileName.contains(QLatin1String(".hex"))
                              || m_downloadFileName.contains(QLatin1String(".mcs"))
                              || m_downloadFileName.contains(QLatin1String(".img"));
    if (firmwareFile) {
        m_serverMode = true;
        startProgramming(path);
        return;
    }
    if (NetworkCommunicator::isFirmwareOrInstallerName(m_downloadFileName)) {
        m_installerPath = path;
        if (!m_installerRunner) {
            m_installerRunner = new InstallerRunner(this);
            connect(m_installerRunner, &InstallerRunner::sendInstallerFinished, this,
                    &VEKUpdaterWidget::onSoftwareUpdateFinishedReceived);
            connect(m_installerRunner, &InstallerRunner::sendInstallerStartFailed, this,
                    [this](const QString&, const QString& message) { onInstallerStartFailedReceived(message); });
        }
        m_installerRunner->startInstaller(path);
    }
    emit sendDisableCloseBehavior(false);
}

// ---- Plugins and Softwares tabs ----

void VEKUpdaterWidget::initializePluginTree()
{
    connect(m_ui->pb_updatePlugin, &QPushButton::clicked, this, &VEKUpdaterWidget::onUpdatePluginClicked);
    connect(m_ui->pb_checkUpdatePlugin, &QPushButton::clicked, this, &VEKUpdaterWidget::onCheckForPluginUpdateClicked);

    QList<int> identifiers;
    for (auto it = PluginNames.cbegin(); it != PluginNames.cend(); ++it)
        identifiers.append(it.key());
    QTreeWidget* tree = m_ui->treeWidget_plugin;
    initializeNameTree(tree, identifiers, PluginNames.values());
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        setItemInstalled(tree->topLevelItem(i), false);
    connect(tree, &QTreeWidget::currentItemChanged, this, &VEKUpdaterWidget::onPluginTreeWidgetItemSelected);
    if (tree->topLevelItemCount() > 0) {
        tree->setCurrentItem(tree->topLevelItem(0));
        onPluginTreeWidgetItemSelected(tree->topLevelItem(0), nullptr);
    }
}

void VEKUpdaterWidget::initializeSoftwareTree()
{
    connect(m_ui->pb_updateSoftware, &QPushButton::clicked, this, &VEKUpdaterWidget::onUpdateSoftwareClicked);
    connect(m_ui->pb_checkUpdateSoftware, &QPushButton::clicked, this,
            &VEKUpdaterWidget::onCheckForSoftwareUpdateClicked);

    QList<int> identifiers;
    for (auto it = SoftwareNames.cbegin(); it != SoftwareNames.cend(); ++it)
        identifiers.append(it.key());
    QTreeWidget* tree = m_ui->treeWidget_software;
    initializeNameTree(tree, identifiers, SoftwareNames.values());
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        switch (item->data(0, Qt::UserRole).toInt()) {
        case nsUpdater::MovraTessaly: setItemInstalled(item, m_acquisitionSoftwareInstalled); break;
        case nsUpdater::MovraMemoryManager: setItemInstalled(item, m_memoryManagerInstalled); break;
        case nsUpdater::Velim: setItemInstalled(item, m_analysisSoftwareInstalled); break;
        default:
            // This program runs, so it is installed.
            setItemInstalled(item, true);
            break;
        }
    }
    connect(tree, &QTreeWidget::currentItemChanged, this, &VEKUpdaterWidget::onSoftwareTreeWidgetItemSelected);
    if (tree->topLevelItemCount() > 0) {
        tree->setCurrentItem(tree->topLevelItem(0));
        onSoftwareTreeWidgetItemSelected(tree->topLevelItem(0), nullptr);
    }
}

void VEKUpdaterWidget::setItemInstalled(QTreeWidgetItem* item, bool installed)
{
    if (!item)
        return;
    if (const QSharedPointer<IconFont> iconFont = iconFontInstance())
        item->setIcon(1, iconFont->makeIcon(installed ? IconFont::Solid : IconFont::Regular, StatusGlyph));
    item->setText(
        1, ProgressMessages::translated(installed ? ProgressMessages::Installed : ProgressMessages::NotInstalled));
    item->setData(1, Qt::UserRole, installed ? 1 : 0);
}

void VEKUpdaterWidget::refreshPluginInstallStatus()
{
    QTreeWidget* tree = m_ui->treeWidget_plugin;
    for (auto it = PluginNames.cbegin(); it != PluginNames.cend(); ++it) {
        const QList<QTreeWidgetItem*> items = tree->findItems(it.value(), Qt::MatchExactly | Qt::MatchCaseSensitive, 0);
        if (items.isEmpty())
            continue;
        const PluginInformation information = m_informationHandler->getPluginInformation(it.key());
        setItemInstalled(items.first(), information.installedVersion != nsUpdater::MissingVersionMarker);
    }
}

void VEKUpdaterWidget::onPluginTreeWidgetItemSelected(QTreeWidgetItem* itemSelected,
                                                      QTreeWidgetItem* previousItemSelected)
{
    Q_UNUSED(previousItemSelected)
    if (!itemSelected)
        return;
    const auto identifier = static_cast<nsUpdater::PluginIdentifier>(itemSelected->data(0, Qt::UserRole).toInt());
    const PluginInformation information = m_informationHandler->getPluginInformation(identifier);
    m_ui->textBrowser_pluginVersion->setHtml(
        m_pluginVersionTemplate.arg(shown(information.installedVersion), shown(information.availableVersion)));
    m_ui->textBrowser_pluginDesc->setHtml(
        m_pluginDescriptionTemplate.arg(ProgressMessages::translated(ProgressMessages::NoDescription).toHtmlEscaped(),
                                        pageLink(AcquisitionSoftwareWebPage)));
    m_ui->pb_updatePlugin->setEnabled(isNewerVersion(information.installedVersion, information.availableVersion));
    m_ui->lb_infoUpdatePlugin->setText(updateStatusText(information.installedVersion, information.availableVersion));
}

void VEKUpdaterWidget::onCheckForPluginUpdateClicked(bool isChecked)
{
    Q_UNUSED(isChecked)
    emit sendRequestToNetwork(nsUpdater::pluginCatalogueUrl(), true);
}

void VEKUpdaterWidget::showDownloadTexts(const QUrl& url)
{
    m_progressDialog->clearDetailsInformation();
    m_progressDialog->setUpdatingText(QCoreApplication::translate("VEKUpdaterWidget", "<b>Downloading</b> [%1]")
                                          .arg(url.fileName(QUrl::FullyDecoded).toHtmlEscaped()));
    m_progressDialog->appendDetailsInformation(
        QCoreApplication::translate("VEKUpdaterWidget", "<b>Currently downloading from :</b><br>[%1]<br>")
            .arg(url.toString().toHtmlEscaped()));
    m_progressDialog->appendDetailsInformation(
        QCoreApplication::translate("VEKUpdaterWidget", "<b>Please be patient...</b>"));
}

void VEKUpdaterWidget::onUpdatePluginClicked(bool isChecked)
{
    Q_UNUSED(isChecked)
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_plugin->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text(0);
    for (auto it = PluginNames.cbegin(); it != PluginNames.cend(); ++it) {
        const PluginInformation information = m_informationHandler->getPluginInformation(it.key());
        if (information.name != name)
            continue;
        for (const QString& address : information.urls) {
            const QUrl url(address);
            showDownloadTexts(url);
            emit sendRequestToNetwork(url, false);
        }
    }
}

void VEKUpdaterWidget::onSoftwareTreeWidgetItemSelected(QTreeWidgetItem* itemSelected,
                                                        QTreeWidgetItem* previousItemSelected)
{
    Q_UNUSED(previousItemSelected)
    if (!itemSelected)
        return;
    const auto identifier = static_cast<nsUpdater::SoftwareIdentifier>(itemSelected->data(0, Qt::UserRole).toInt());
    const SoftwareInformation information = m_informationHandler->getSoftwareInformation(identifier);
    m_ui->textBrowser_softwareVersion->setHtml(m_softwareVersionTemplate.arg(
        shown(information.installedVersion), shown(information.stableVersion), shown(information.betaVersion)));
    // One pass: the markers inside the description stay as they are.
    m_ui->textBrowser_softwareDesc->setHtml(m_softwareDescriptionTemplate.arg(
        information.description.toHtmlEscaped(), pageLink(SoftwareWebPages.value(identifier))));

    const QString& installed = information.installedVersion;
    // Only the analysis program offers a beta; it counts once the stable one is not newer.
    const bool stableNewer = isNewerVersion(installed, information.stableVersion);
    if (identifier == nsUpdater::Velim && !stableNewer) {
        m_ui->lb_infoUpdateSoftware->setText(updateStatusText(installed, information.betaVersion));
        m_ui->pb_updateSoftware->setEnabled(isNewerVersion(installed, information.betaVersion));
    } else {
        m_ui->lb_infoUpdateSoftware->setText(updateStatusText(installed, information.stableVersion));
        m_ui->pb_updateSoftware->setEnabled(stableNewer);
    }
}

void VEKUpdaterWidget::onCheckForSoftwareUpdateClicked(bool isChecked)
{
    Q_UNUSED(isChecked)
    emit sendRequestToNetwork(nsUpdater::softwareCatalogueUrl(), true);
}

void VEKUpdaterWidget::onUpdateSoftwareClicked(bool isChecked)
{
    Q_UNUSED(isChecked)
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_software->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text(0);
    for (auto it = SoftwareNames.cbegin(); it != SoftwareNames.cend(); ++it) {
        const SoftwareInformation information = m_informationHandler->getSoftwareInformation(it.key());
        if (information.name != name)
            continue;
        if (information.urls.size() == 1) {
            startSoftwareDownload(information.urls.first());
        } else if (information.urls.size() == 2) {
            using nsFirmware::SoftwareButtonIdentifier;
            SoftwareChoiceDialog dialog(this);
            if (!isNewerVersion(information.installedVersion, information.stableVersion))
                dialog.setButtonDisabled(SoftwareButtonIdentifier::StableButton);
            if (!isNewerVersion(information.installedVersion, information.betaVersion))
                dialog.setButtonDisabled(SoftwareButtonIdentifier::BetaButton);
            dialog.exec();
            const int answer = dialog.buttonIdentifier();
            if (answer == int(SoftwareButtonIdentifier::StableButton))
                startSoftwareDownload(information.urls.first());
            else if (answer == int(SoftwareButtonIdentifier::BetaButton))
                startSoftwareDownload(information.urls.last());
        }
    }
}

void VEKUpdaterWidget::startSoftwareDownload(const QString& url)
{
    const QUrl address(url);
    m_downloadFileName = address.fileName(QUrl::FullyDecoded);
    showDownloadTexts(address);
    emit sendRequestToNetwork(address, false);
}

void VEKUpdaterWidget::onSoftwareUpdateFinishedReceived()
{
    // A later installer that still runs keeps its file.
    if (!m_installerPath.isEmpty() && QFile::exists(m_installerPath)
        && !(m_installerRunner && m_installerRunner->isRunning(m_installerPath)))
        QFile::remove(m_installerPath);
    emit sendDisableCloseBehavior(false);
}

void VEKUpdaterWidget::onInstallerStartFailedReceived(const QString& message)
{
    emit sendMessageToStatusBar(message, 0);
}
