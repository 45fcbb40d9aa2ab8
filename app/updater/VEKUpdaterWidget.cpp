// The updater widget's set-up: the form, the catalogue model,
// the progress dialog, the firmware updater and the catalogue client in its
// thread; the dispatch of catalogue replies and the end of a download. The
// tabs are in VEKUpdaterWidgetDevicesTab.cpp, VEKUpdaterWidgetServerUpdate.cpp,
// VEKUpdaterWidgetManualUpdate.cpp and VEKUpdaterWidgetPluginsSoftwares.cpp.

#include "app/updater/VEKUpdaterWidget.h"
#include "ui_UpdaterWidgetUi.h"

#include "app/catalogue/DownloadProgress.h"
#include "app/catalogue/NetworkCommunicator.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/installed/InstallerRunner.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/PaneDocuments.h"
#include "app/updater/ProgressCoalescer.h"
#include "app/updater/UpdaterWidgetHelpers.h"
#include "app/updater/VersionComparison.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareUpdater.h"

#include <QJsonArray>
#include <QPushButton>
#include <QTextBrowser>
#include <QThread>
#include <QTreeWidget>

using namespace nsUpdaterWidget;

namespace {

constexpr int NetworkErrorMessageMs = 5000;

const char* const TreeStyleSheet = "QTreeView:branch:has-siblings:!adjoins-item{border-image: url() 0;}"
                                   "QTreeView:branch:has-siblings:adjoins-item{border-image: url() 0;}"
                                   "QTreeView:branch:!has-children:!has-siblings:adjoins-item{border-image: url() 0;}";

} // namespace

VEKUpdaterWidget::VEKUpdaterWidget(QWidget* parent)
    : VEKUpdaterWidget(QSharedPointer<CommunicatorFactory>(), parent)
{
}

VEKUpdaterWidget::VEKUpdaterWidget(QSharedPointer<CommunicatorFactory> transports, QWidget* parent)
    : QTabWidget(parent)
    , m_ui(new Ui::UpdaterWidget)
{
    m_ui->setupUi(this);
    setInitialPaneDocuments(*m_ui);
    setCurrentIndex(0);

    QString acquisitionVersion;
    QString memoryManagerVersion;
    QString analysisVersion;
    readInstalledSoftware(acquisitionVersion, memoryManagerVersion, analysisVersion);
    m_informationHandler =
        QSharedPointer<UpdaterInformationHandler>::create(acquisitionVersion, memoryManagerVersion, analysisVersion);

    connect(m_ui->pb_checkUpdateDevice, &QPushButton::clicked, this, &VEKUpdaterWidget::onCheckForDeviceUpdateClicked);

    m_progressDialog = QSharedPointer<ProgressDialog>::create();
    m_firmwareProgress = new ProgressCoalescer(m_progressDialog.data(), this);

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
    updater->setNotices(this);
}

void VEKUpdaterWidget::wrongPortDetected()
{
    showUpdateBox(UpdateFlowBox::WrongPortDetected);
}

void VEKUpdaterWidget::channelsNotProgrammed()
{
    showUpdateBox(UpdateFlowBox::ChannelsNotProgrammed);
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
    connect(m_networkCommunicator, &NetworkCommunicator::sendNetworkReplyDownloadFailed, this,
            &VEKUpdaterWidget::onNetworkReplyDownloadFailedReceived);
    connect(m_networkCommunicator, &NetworkCommunicator::sendLocalCataloguesLoaded, this,
            &VEKUpdaterWidget::onLocalCataloguesLoadedReceived);
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
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows())
        m_informationHandler->updateFirmwareInformation(root, rule.type);
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
    emit sendMessageToStatusBar(tr("Network Error : %1").arg(errorString), NetworkErrorMessageMs);
}

void VEKUpdaterWidget::onLocalCataloguesLoadedReceived()
{
    emit sendMessageToStatusBar(tr("The update server could not be reached: the versions shown are those of the "
                                   "program's local copies of the catalogues."),
                                0);
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
    m_firmwareProgress->discard();
    if (!m_progressDialog->isVisible()) {
        m_progressDialog->show();
        emit sendDisableCloseBehavior(true);
    }
    m_progressDialog->setProgressMaximum(maximum);
    m_progressDialog->setProgressValue(value);
}

void VEKUpdaterWidget::onNetworkReplyDownloadDoneReceived(QString fileName)
{
    m_firmwareProgress->discard();
    if (m_progressDialog->isVisible()) {
        m_progressDialog->clearDetailsInformation();
        m_progressDialog->close();
    }
    if (!fileName.isEmpty())
        m_session.downloadFileName = fileName;
    handleDownloadedFile();
}

void VEKUpdaterWidget::onNetworkReplyDownloadFailedReceived(QString fileName, QString errorString)
{
    Q_UNUSED(fileName)
    if (m_progressDialog->isVisible()) {
        m_progressDialog->clearDetailsInformation();
        m_progressDialog->close();
    }
    showUpdateBox(UpdateFlowBox::DownloadFailed, errorString);
    emit sendDisableCloseBehavior(false);
}

void VEKUpdaterWidget::showDownloadTexts(const QUrl& url)
{
    m_firmwareProgress->discard();
    m_progressDialog->clearDetailsInformation();
    m_progressDialog->setUpdatingText(
        tr("<b>Downloading</b> [%1]").arg(url.fileName(QUrl::FullyDecoded).toHtmlEscaped()));
    m_progressDialog->appendDetailsInformation(
        tr("<b>Currently downloading from :</b><br>[%1]<br>").arg(url.toString().toHtmlEscaped()));
    m_progressDialog->appendDetailsInformation(tr("<b>Please be patient...</b>"));
}

void VEKUpdaterWidget::handleDownloadedFile()
{
    const QString path = NetworkCommunicator::downloadsFolder() + m_session.downloadFileName;
    const bool firmwareFile = m_session.downloadFileName.contains(QLatin1String(".hex"))
                              || m_session.downloadFileName.contains(QLatin1String(".mcs"))
                              || m_session.downloadFileName.contains(QLatin1String(".img"));
    if (firmwareFile) {
        m_session.serverMode = true;
        // Refused, nothing runs that would end the lock the download set.
        if (!startProgramming(path))
            emit sendDisableCloseBehavior(false);
        return;
    }
    if (NetworkCommunicator::isFirmwareOrInstallerName(m_session.downloadFileName)) {
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
