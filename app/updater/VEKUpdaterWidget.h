#pragma once

#include "app/catalogue/UpdaterInformations.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/FirmwareUpdateSession.h"
#include "app/updater/UpdateFlowBoxes.h"
#include "firmware/core/DeviceIdentifier.h"
#include "firmware/core/FirmwareTypes.h"
#include "firmware/core/UpdateNotices.h"
#include "firmware/updater/DeviceCommunicationInfo.h"
#include "icons/QWidgetWithAccessToIconFont.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QTabWidget>
#include <QUrl>

#include <functional>

#include <QMessageBox>

class CommunicatorFactory;
class QFileDialog;
class FirmwareUpdater;
class InstallerRunner;
class NetworkCommunicator;
class ProgressDialog;
class ProgressCoalescer;
class QTimer;
class MovraDeviceInfo;
class QKeyEvent;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;
class UpdaterInformationHandler;

namespace Ui {
class UpdaterWidget;
}

// The main window's central widget: the Devices, Plugins and Softwares tabs,
// wired to the catalogue model and to the catalogue client, which runs in a
// thread of its own. It shows the firmware engine's notices as boxes of the
// update flow.
class VEKUpdaterWidget : public QTabWidget, public QWidgetWithAccessToIconFont, private UpdateNotices
{
    Q_OBJECT

public:
    explicit VEKUpdaterWidget(QWidget* parent = nullptr);
    // Tests give the firmware updater's hardware server their own transports.
    explicit VEKUpdaterWidget(QSharedPointer<CommunicatorFactory> transports, QWidget* parent = nullptr);
    ~VEKUpdaterWidget() override;

    // The number of connected devices that are not cameras.
    int connectedDeviceCount() const { return m_connectedDeviceCount; }
    // The catalogue model the tabs read.
    QSharedPointer<UpdaterInformationHandler> informationHandler() const { return m_informationHandler; }

    static QList<int> parseVersion(const QString& version);
    static bool isNewerVersion(const QString& installedVersion, const QString& availableVersion);
    static QString updateStatusText(const QString& installedVersion, const QString& availableVersion);

signals:
    void sendRequestToNetwork(QUrl url, bool isJson);
    void sendForceExitToNetwork();
    void sendMessageToStatusBar(QString message, int timeout);
    void sendDisableCloseBehavior(bool disable);

public slots:
    void onDeviceTreeWidgetItemSelected(QTreeWidgetItem* itemSelected, QTreeWidgetItem* previousItemSelected);
    void onCheckForDeviceUpdateClicked(bool isChecked = false);
    void onDeviceVersionReceived(QSharedPointer<nsUpdater::DeviceCommunicationInfo> infos);
    void onDeviceConnectionStatusReceived(nsUpdater::DeviceIdentifier deviceID, QString name, QString uid,
                                          bool isConnected);
    void onSetBootloaderItemStatusReceived(bool status);
    void onSetMotherboardItemStatusReceived(bool status);
    void onSetChannelsItemStatusReceived(bool status);
    void onSetMemoryManagerItemStatusReceived(bool status);
    void onSetUSB3CommunicationItemStatusReceived(bool status);

    void onNetworkReplyReceived(QJsonDocument document);
    void onNetworkReplyInfosReceived(QString errorString);
    void onNetworkReplyDownloadProgressReceived(qlonglong bytesReceived, qlonglong bytesTotal);
    // The name is the one the catalogue client saved the file under.
    void onNetworkReplyDownloadDoneReceived(QString fileName);
    // Ends the download's flow: the dialog closes, the error is shown, and
    // closing is allowed again once the box is closed.
    void onNetworkReplyDownloadFailedReceived(QString fileName, QString errorString);
    // Says, until the next message, that the tabs show the local catalogues.
    void onLocalCataloguesLoadedReceived();
    void onProgressReceived(int value, int maximum);

    // Plugins and Softwares tabs
    void onPluginTreeWidgetItemSelected(QTreeWidgetItem* itemSelected, QTreeWidgetItem* previousItemSelected);
    void onCheckForPluginUpdateClicked(bool isChecked = false);
    void onUpdatePluginClicked(bool isChecked = false);
    void onSoftwareTreeWidgetItemSelected(QTreeWidgetItem* itemSelected, QTreeWidgetItem* previousItemSelected);
    void onCheckForSoftwareUpdateClicked(bool isChecked = false);
    void onUpdateSoftwareClicked(bool isChecked = false);
    void onSoftwareUpdateFinishedReceived();

    // Firmware update flow
    void onUpdateDeviceClicked(bool isChecked = false);
    void onUpdateDeviceManuallyClicked(bool isChecked = false);
    void checkChannelConnectionForServerSelection(QString serverLink);
    void checkChannelConnectionForManualSelection(QStringList filters);
    void onStartMotherboardUpdateReceived();
    void onFirmwareUpdaterResponseReceived(char cmd, nsFirmware::MessageStatus status, int progress);
    void onSendMessageToProgressDialogReceived(QString detailsInformation);
    void onModifyFileProgressDialogReceived(QString detailsInformation);
    void onCloseProgressDialogReceived();
    void onProgressForceExitReceived();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Set-up, catalogue dispatch and transfers (VEKUpdaterWidget.cpp)
    void createFirmwareUpdater(const QSharedPointer<CommunicatorFactory>& transports);
    void wrongPortDetected() override;
    void channelsNotProgrammed() override;
    void createNetworkCommunicator();
    void initializePanes();
    void onFirmwaresCatalogueReceived(const QJsonObject& root);
    void onSoftwaresCatalogueReceived(const QJsonObject& root);
    void onPluginsCatalogueReceived(const QJsonObject& root);
    void showDownloadTexts(const QUrl& url);
    void handleDownloadedFile();

    // Devices tab: rows and statuses (VEKUpdaterWidgetDevicesTab.cpp)
    void initializeDeviceTree();
    QTreeWidgetItem* typeItem(int deviceType) const;
    void setTypeItemHidden(nsUpdater::DeviceIdentifier deviceType, bool hidden);
    void setDeviceItemConnected(QTreeWidgetItem* item, bool connected);
    void addConnectedDeviceItem(const FirmwareInformation& information, nsUpdater::DeviceIdentifier deviceType,
                                QTreeWidgetItem* typeItem, const QString& name, const QString& uid);
    void removeDeviceItems(const QString& uid);

    // Devices tab: the selection's panes; each fills the working texts it changes.
    void fillVersionPanes(const FirmwareInformation& information, QTreeWidgetItem* item, QString& bootloader,
                          QString& motherboard, QString& channel);
    void fillDevicePanesByType(int deviceType, const FirmwareInformation& information, QTreeWidgetItem* item,
                               QString& bootloader, QString& motherboard, QString& channel, QString& description);
    void checkDeprecatedDriver(int threshold, const QString& deviceDescription, const FirmwareInformation& information,
                               QTreeWidgetItem* item, QString& description);
    void fillBootloaderPanes(const FirmwareInformation& information, const QString& deviceNote, QString& bootloader,
                             QString& description);
    void fillCameraPanes(QTreeWidgetItem* item, const QString& deviceDescription, QString& bootloader,
                         QString& motherboard, QString& channel, QString& description);
    void fillChannelsPanes(const FirmwareInformation& information, QTreeWidgetItem* item, const QString& deviceNote,
                           QString& bootloader, QString& description);
    void fillMotherboardPanes(const FirmwareInformation& information, QTreeWidgetItem* item, const QString& deviceNote,
                              QString& bootloader, QString& motherboard, QString& description);
    void fillUSB3DriverPanes(const FirmwareInformation& information, const QString& deviceNote, QString& bootloader,
                             QString& description);
    void fillSarvantiPanes(const FirmwareInformation& information, QTreeWidgetItem* item,
                           const QString& deviceDescription, QString& motherboard, QString& description);
    void applyConnectedRule(QTreeWidgetItem* item);
    QString standardDescription(int deviceType, const QString& deviceDescription) const;
    QString firstCameraSerialNumber() const;

    // Firmware update from the catalogue, and what both flows share (VEKUpdaterWidgetServerUpdate.cpp)
    void connectFirmwareUpdateFlow();
    QTreeWidgetItem* selectedDeviceRow() const;
    int selectedRowType(QTreeWidgetItem* row) const;
    QList<FirmwareInformation> firmwareRecords(int deviceType) const;
    static QString address(const QList<FirmwareInformation>& records, int position);
    QSharedPointer<MovraDeviceInfo> firstAvailableDevice(int deviceType) const;
    bool beginUpdate(QTreeWidgetItem*& row, int& deviceType);
    bool refusedForWrongPort(const DeviceTypeRules::Row& rule, const QString& firstUid);
    void applyUpdateEffects(const DeviceTypeRules::Row& rule);
    bool firstDeviceHasProductId(int deviceType, quint16 productId) const;
    bool selectServerFirmwareUrl(int deviceType, const QList<FirmwareInformation>& records, QString& url,
                                 bool& proceed);
    bool chooseCypressBoardUrl(const QList<FirmwareInformation>& records, QString& url);
    bool chooseChannelsUrl(const QList<FirmwareInformation>& records, QString& url);
    bool chooseConsoleUrl(const QList<FirmwareInformation>& records, QString& url);
    bool chooseGQZ3Url(const QList<FirmwareInformation>& records, QString& url);
    bool chooseKAVORUrl(const QList<FirmwareInformation>& records, QString& url);
    bool chooseMotherboardUrl(QString& url);
    bool chooseChannelUrlForMotherboard(QString& url);
    QMessageBox::StandardButton askMotherboardOrChannels();
    bool askConsolePortChange();
    void showWrongPortBox();
    void showSeveralDevicesBox();
    // A reason, when given, ends the informative text as its error information.
    UpdateFlowAnswer showUpdateBox(UpdateFlowBox which, const QString& argument = QString(),
                                   const QString& reason = QString());
    bool selectedTypeWaitsForChannels() const;
    bool channelsFromServer(const QString& channelUrl, QString& url);
    void waitForChannelsForServer(const QString& url);
    void waitForChannels(const std::function<void()>& checkAgain);
    void startFirmwareDownload(const QList<FirmwareInformation>& records, const QString& url);
    void startMotherboardDownload(const QList<FirmwareInformation>& records);
    void requestFirmwareFile(const QUrl& url);
    void releaseCarriedCloseLock();
    // False when the firmware updater refused the start (its box was shown).
    bool startProgramming(const QString& filePath);
    void showProgressDialogOnce();
    void showFirmwareProgressStep(char cmd, int progress);
    QString firmwareErrorText(char cmd) const;
    void showUpdateCompleted();

    // Manual firmware update (VEKUpdaterWidgetManualUpdate.cpp)
    void execFirmwareFileDialog(const QList<FirmwareInformation>& records, QFileDialog* dialog);
    bool setManualFileFilter(int deviceType, FirmwareInformation information, QFileDialog* dialog);
    bool setChannelsFileFilter(QFileDialog* dialog);
    bool setBootloaderFileFilter(const FirmwareInformation& information, QFileDialog* dialog);
    bool setConsoleFileFilter(const FirmwareInformation& information, QFileDialog* dialog);
    bool setMemoryManagerFileFilter(const FirmwareInformation& information, QFileDialog* dialog);
    bool setGQZ3FileFilter(const FirmwareInformation& information, QFileDialog* dialog);
    bool setKAVORFileFilter(QFileDialog* dialog);
    bool setMotherboardFileFilter(QTreeWidgetItem* row, QFileDialog* dialog);
    void appendMotherboardFileFilters(const QString& name, QStringList& filters);
    bool chooseChannelFileFilter(const QString& name, QStringList& filters);
    bool setUSB3DriverFileFilter(const FirmwareInformation& information, QFileDialog* dialog);
    void chooseMotherboardFileAfterChannels(QTreeWidgetItem* row);
    bool askChannelsFirst();
    bool channelsFromFile(const QStringList& channelFilters, QStringList& filters);
    void waitForChannelsForManual(const QStringList& filters);
    void chooseChannelFileAfterWait(const QStringList& filters);

    // Plugins and Softwares tabs (VEKUpdaterWidgetPluginsSoftwares.cpp)
    void readInstalledSoftware(QString& acquisitionVersion, QString& memoryManagerVersion, QString& analysisVersion);
    void readInstalledPlugins();
    void initializeNameTree(QTreeWidget* tree, const QList<int>& identifiers, const QStringList& names);
    void initializePluginTree();
    void initializeSoftwareTree();
    void setItemInstalled(QTreeWidgetItem* item, bool installed);
    void refreshPluginInstallStatus();
    void startSoftwareDownload(const QString& url);
    void onInstallerStartFailedReceived(const QString& message);

    QTimer* m_closeUnlockTimer = nullptr;
    QTimer* m_channelWaitTimer = nullptr;

    // The form of UpdaterWidgetUi.ui.
    Ui::UpdaterWidget* m_ui = nullptr;
    QString m_deviceBootloaderTemplate;
    QString m_deviceMotherboardTemplate;
    QString m_deviceChannelTemplate;
    QString m_deviceDescriptionTemplate;
    QString m_pluginVersionTemplate;
    QString m_pluginDescriptionTemplate;
    QString m_softwareVersionTemplate;
    QString m_softwareDescriptionTemplate;
    NetworkCommunicator* m_networkCommunicator = nullptr;
    QThread* m_networkThread = nullptr;
    QSharedPointer<UpdaterInformationHandler> m_informationHandler;
    QSharedPointer<FirmwareUpdater> m_firmwareUpdater;
    QSharedPointer<ProgressDialog> m_progressDialog;
    ProgressCoalescer* m_firmwareProgress = nullptr;
    InstallerRunner* m_installerRunner = nullptr;
    bool m_acquisitionSoftwareInstalled = true;
    bool m_memoryManagerInstalled = true;
    bool m_analysisSoftwareInstalled = true;
    bool m_motherboardUpdateAvailable = true;
    bool m_channelsUpdateAvailable = true;
    bool m_updatesChecked = false;
    int m_connectedDeviceCount = 0;
    QString m_lightSourceMotherboardUrl;
    QString m_consoleMotherboardUrl;
    QString m_installerPath;
    // The firmware update under way.
    FirmwareUpdateSession m_session;
};
