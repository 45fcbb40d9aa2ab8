// The Devices tab's firmware update from the catalogue: from a
// press on "Update from server" to the download, the hand-over of the file
// to the firmware updater, the motherboard step after the channels, and the
// progress and result shown for both update buttons. The manual flow is in
// VEKUpdaterWidgetManualUpdate.cpp.

#include "app/updater/VEKUpdaterWidget.h"
#include "ui_UpdaterWidgetUi.h"

#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ButtonIdentifiers.h"
#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/CypressChoiceDialog.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/ProgressCoalescer.h"
#include "app/updater/UpdaterWidgetHelpers.h"
#include "device/usb/UsbIds.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareUpdater.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

using namespace nsUpdaterWidget;
using nsFirmware::ButtonIdentifier;
using nsUpdater::DeviceIdentifier;

namespace {

constexpr int CloseUnlockDelayMs = 5000;
constexpr int ChannelPauseMs = 3000;

const char* const CameraDriverPage = "https://www.theimagingsource.com/support/downloads-for-windows/";

} // namespace

void VEKUpdaterWidget::connectFirmwareUpdateFlow()
{
    FirmwareUpdater* updater = m_firmwareUpdater.data();
    connect(updater, &FirmwareUpdater::sendDeviceResponseToView, this,
            &VEKUpdaterWidget::onFirmwareUpdaterResponseReceived);
    connect(updater, &FirmwareUpdater::sendMessageToProgressDialog, this,
            &VEKUpdaterWidget::onSendMessageToProgressDialogReceived);
    connect(updater, &FirmwareUpdater::sendFileProgressToProgressDialog, this,
            &VEKUpdaterWidget::onModifyFileProgressDialogReceived);
    connect(updater, &FirmwareUpdater::sendCloseProgressDialog, this, &VEKUpdaterWidget::onCloseProgressDialogReceived);
    connect(updater, &FirmwareUpdater::sendStartMotherboardUpdate, this,
            &VEKUpdaterWidget::onStartMotherboardUpdateReceived);
    connect(m_progressDialog.data(), &ProgressDialog::sendForcedExit, this,
            &VEKUpdaterWidget::onProgressForceExitReceived);
    connect(m_ui->pb_updateDevice, &QPushButton::clicked, this, &VEKUpdaterWidget::onUpdateDeviceClicked);
    connect(m_ui->pb_updateDeviceManually, &QPushButton::clicked, this,
            &VEKUpdaterWidget::onUpdateDeviceManuallyClicked);

    m_closeUnlockTimer = new QTimer(this);
    m_closeUnlockTimer->setSingleShot(true);
    m_closeUnlockTimer->setTimerType(Qt::PreciseTimer);
    connect(m_closeUnlockTimer, &QTimer::timeout, this, [this] { emit sendDisableCloseBehavior(false); });
    m_channelWaitTimer = new QTimer(this);
    m_channelWaitTimer->setSingleShot(true);
}

QTreeWidgetItem* VEKUpdaterWidget::selectedDeviceRow() const
{
    const QList<QTreeWidgetItem*> selected = m_ui->treeWidget_device->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

// The type whose first record carries the name of the row's type row.
int VEKUpdaterWidget::selectedRowType(QTreeWidgetItem* row) const
{
    if (!row)
        return -1;
    const QTreeWidgetItem* typeRow = row->parent() ? row->parent() : row;
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
        const QList<FirmwareInformation> records = firmwareRecords(rule.type);
        if (!records.isEmpty() && records.first().name == typeRow->text(0))
            return rule.type;
    }
    return -1;
}

QList<FirmwareInformation> VEKUpdaterWidget::firmwareRecords(int deviceType) const
{
    return m_informationHandler->getFirmwareInformationList(deviceType);
}

// Position -1 is the last address.
QString VEKUpdaterWidget::address(const QList<FirmwareInformation>& records, int position)
{
    return records.isEmpty() ? QString() : filterAt(records.first().urls, position);
}

QSharedPointer<MovraDeviceInfo> VEKUpdaterWidget::firstAvailableDevice(int deviceType) const
{
    const QList<QSharedPointer<MovraDeviceInfo>> devices =
        m_firmwareUpdater->getAvailableDevices(static_cast<DeviceIdentifier>(deviceType));
    return devices.isEmpty() ? QSharedPointer<MovraDeviceInfo>() : devices.first();
}

bool VEKUpdaterWidget::beginUpdate(QTreeWidgetItem*& row, int& deviceType)
{
    m_session.startAfresh();
    if (m_connectedDeviceCount != 1) {
        if (m_connectedDeviceCount > 1)
            showSeveralDevicesBox();
        return false;
    }
    row = selectedDeviceRow();
    deviceType = selectedRowType(row);
    return deviceType >= 0;
}

void VEKUpdaterWidget::onUpdateDeviceClicked(bool)
{
    QTreeWidgetItem* row = nullptr;
    int deviceType = -1;
    if (!beginUpdate(row, deviceType))
        return;
    const QList<FirmwareInformation> records = firmwareRecords(deviceType);
    QString url;
    bool proceed = true;
    if (selectServerFirmwareUrl(deviceType, records, url, proceed) && proceed)
        startFirmwareDownload(records, url);
}

// A type's wrong-port rule: the box, and no update.
bool VEKUpdaterWidget::refusedForWrongPort(const DeviceTypeRules::Row& rule, const QString& firstUid)
{
    const bool wrongPort = rule.effects.testFlag(DeviceTypeRules::WrongPortBox)
                           || (rule.effects.testFlag(DeviceTypeRules::WrongPortOverNetwork)
                               && firstUid.contains(QLatin1String("192.168")));
    if (wrongPort)
        showWrongPortBox();
    return wrongPort;
}

// What a type's update sets before its rule runs, whichever button started it.
void VEKUpdaterWidget::applyUpdateEffects(const DeviceTypeRules::Row& rule)
{
    if (rule.effects.testFlag(DeviceTypeRules::Usb3FollowUp))
        m_session.usb3FollowUp = true;
    if (rule.effects.testFlag(DeviceTypeRules::MotherboardPhase))
        m_session.motherboardPhase = true;
}

bool VEKUpdaterWidget::firstDeviceHasProductId(int deviceType, quint16 productId) const
{
    const QSharedPointer<MovraDeviceInfo> device = firstAvailableDevice(deviceType);
    return device && device->pid() == productId;
}

bool VEKUpdaterWidget::selectServerFirmwareUrl(int deviceType, const QList<FirmwareInformation>& records, QString& url,
                                               bool& proceed)
{
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(deviceType);
    if (refusedForWrongPort(rule, records.value(0).uid))
        return false;
    applyUpdateEffects(rule);
    const QString rowText = selectedDeviceRow() ? selectedDeviceRow()->text(0) : QString();
    using Rule = DeviceTypeRules::ServerRule;
    switch (rule.server) {
    case Rule::None: return false;
    case Rule::FirstAddress: url = address(records, 0); return true;
    case Rule::LastAddress: url = address(records, -1); return true;
    case Rule::RotaryJointByProductId:
        url = address(records, firstDeviceHasProductId(deviceType, nsUsbIds::RotaryJointBootloaderProductId) ? 0 : -1);
        return true;
    case Rule::ChooseCypressBoard: return chooseCypressBoardUrl(records, url);
    case Rule::OpenCameraDriverPage: {
        proceed = false;
        const QUrl page(QString::fromLatin1(CameraDriverPage));
        if (!QDesktopServices::openUrl(page))
            emit sendMessageToStatusBar(
                tr("The page %1 could not be opened: no web browser is available.").arg(page.toString()), 0);
        return true;
    }
    case Rule::ChooseChannelsFamily: return chooseChannelsUrl(records, url);
    case Rule::ChooseConsole: return chooseConsoleUrl(records, url);
    case Rule::ChooseGQZ3: return chooseGQZ3Url(records, url);
    case Rule::ChooseKAVOR: return chooseKAVORUrl(records, url);
    case Rule::ChooseMotherboardOrChannels:
        switch (askMotherboardOrChannels()) {
        case QMessageBox::Yes: return chooseMotherboardUrl(url);
        case QMessageBox::Ok: return chooseChannelUrlForMotherboard(url);
        default: return false;
        }
    case Rule::HKTRByName:
        if (rowText.contains(QLatin1String("HKTR8"))) {
            url = address(records, 0);
            return true;
        }
        if (rowText.contains(QLatin1String("HKTR4"))) {
            url = address(records, 1);
            return true;
        }
        return false;
    case Rule::SarvantiByName:
        url = address(records,
                      rowText.contains(QLatin1String("Motor")) || rowText.contains(QLatin1String("Disk")) ? -1 : 0);
        return true;
    }
    return false;
}

bool VEKUpdaterWidget::chooseCypressBoardUrl(const QList<FirmwareInformation>& records, QString& url)
{
    CypressChoiceDialog dialog;
    dialog.exec();
    switch (static_cast<CypressChoiceDialog::CypressButtonIdentifier>(dialog.buttonIdentifier())) {
    case CypressChoiceDialog::CypressButtonIdentifier::GQZ3Button: url = address(records, 0); return true;
    case CypressChoiceDialog::CypressButtonIdentifier::GQZ3KAVORButton: url = address(records, 1); return true;
    case CypressChoiceDialog::CypressButtonIdentifier::TV720Button: url = address(records, -1); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::chooseChannelsUrl(const QList<FirmwareInformation>& records, QString& url)
{
    ChoiceDialog dialog;
    dialog.hideButton(ButtonIdentifier::LightSourceButton);
    dialog.hideButton(ButtonIdentifier::KAVORButton);
    dialog.exec();
    switch (static_cast<ButtonIdentifier>(dialog.buttonIdentifier())) {
    case ButtonIdentifier::ElectrophyButton: url = address(records, 0); return true;
    case ButtonIdentifier::PhotometryButton: url = address(records, 1); return true;
    case ButtonIdentifier::MicroscopeButton: url = address(records, -1); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::chooseConsoleUrl(const QList<FirmwareInformation>& records, QString& url)
{
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        m_session.motherboardPhase = true;
        url = m_consoleMotherboardUrl;
        return true;
    case QMessageBox::Ok: {
        QString channelUrl;
        const QStringList urls = records.isEmpty() ? QStringList() : records.first().urls;
        for (const QString& candidate : urls) {
            if (QFileInfo(candidate).suffix().contains(QLatin1String("mcs"))) {
                channelUrl = candidate;
                break;
            }
        }
        return channelsFromServer(channelUrl, url);
    }
    default: return false;
    }
}

// The USB3 driver follow-up is already set (the type's effects).
bool VEKUpdaterWidget::chooseGQZ3Url(const QList<FirmwareInformation>& records, QString& url)
{
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        m_session.motherboardPhase = true;
        url = address(records, 0);
        return true;
    case QMessageBox::Ok: url = address(records, -1); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::chooseKAVORUrl(const QList<FirmwareInformation>& records, QString& url)
{
    const QSharedPointer<MovraDeviceInfo> device = firstAvailableDevice(nsUpdater::KAVOR);
    const int channels = device ? device->channelCount() : -1;
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        m_session.motherboardPhase = true;
        url = address(records, channels == 1 ? 1 : 0);
        return true;
    case QMessageBox::Ok: url = address(records, channels == 1 ? 2 : 3); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::chooseMotherboardUrl(QString& url)
{
    m_session.motherboardPhase = true;
    switch (showUpdateBox(UpdateFlowBox::WhichDevice)) {
    case UpdateFlowAnswer::FirstChoice: url = m_lightSourceMotherboardUrl; return true;
    case UpdateFlowAnswer::SecondChoice: url = m_consoleMotherboardUrl; return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::chooseChannelUrlForMotherboard(QString& url)
{
    ChoiceDialog dialog;
    dialog.hideButton(ButtonIdentifier::MicroscopeButton);
    dialog.exec();
    switch (static_cast<ButtonIdentifier>(dialog.buttonIdentifier())) {
    case ButtonIdentifier::LightSourceButton: url = address(firmwareRecords(nsUpdater::LightSource), -1); return true;
    case ButtonIdentifier::KAVORButton: url = address(firmwareRecords(nsUpdater::KAVOR), -1); return true;
    case ButtonIdentifier::ElectrophyButton:
        return channelsFromServer(address(firmwareRecords(nsUpdater::ElectrophysiologyConsole), -1), url);
    case ButtonIdentifier::PhotometryButton:
        return channelsFromServer(address(firmwareRecords(nsUpdater::FiberPhotometryConsole), -1), url);
    default: return false;
    }
}

// The answer is the button's role, whatever the language: Yes for
// Motherboard, Ok for Channels, Cancel otherwise.
QMessageBox::StandardButton VEKUpdaterWidget::askMotherboardOrChannels()
{
    switch (showUpdateBox(UpdateFlowBox::MotherboardOrChannels)) {
    case UpdateFlowAnswer::FirstChoice: return QMessageBox::Yes;
    case UpdateFlowAnswer::SecondChoice: return QMessageBox::Ok;
    default: return QMessageBox::Cancel;
    }
}

bool VEKUpdaterWidget::askConsolePortChange()
{
    return showUpdateBox(UpdateFlowBox::ConsolePortChange) == UpdateFlowAnswer::Ok;
}

void VEKUpdaterWidget::showWrongPortBox()
{
    showUpdateBox(UpdateFlowBox::WrongPort);
}

void VEKUpdaterWidget::showSeveralDevicesBox()
{
    showUpdateBox(UpdateFlowBox::SeveralDevices);
}

// Every box of the update flow: its texts, icon and buttons from the table,
// its texts translated here. The argument fills the place-marker of the text
// or, when the text has none, of the informative text.
UpdateFlowAnswer VEKUpdaterWidget::showUpdateBox(UpdateFlowBox which, const QString& argument, const QString& reason)
{
    const UpdateFlowBoxTexts& texts = updateFlowBoxTexts(which);
    const auto translated = [&texts](const char* source) {
        return texts.context ? QCoreApplication::translate(texts.context, source) : tr(source);
    };
    QString text = texts.sharedText ? shared(*texts.sharedText) : translated(texts.text);
    QString informativeText = texts.informativeText ? translated(texts.informativeText) : QString();
    if (QByteArray(texts.text).contains("%1"))
        text = text.arg(argument);
    else if (texts.informativeText && QByteArray(texts.informativeText).contains("%1"))
        informativeText = informativeText.arg(argument);
    if (!reason.isEmpty())
        informativeText += tr("\n\nError information : %1").arg(reason);

    QMessageBox box;
    box.setIcon(texts.icon);
    if (texts.title)
        box.setWindowTitle(translated(texts.title));
    box.setText(text);
    if (!informativeText.isEmpty())
        box.setInformativeText(informativeText);
    const auto addChoice = [&box, &translated](const UpdateFlowBoxButton& choice) -> QAbstractButton* {
        if (!choice.text && !choice.sharedText)
            return nullptr;
        QPushButton* button =
            box.addButton(choice.sharedText ? shared(*choice.sharedText) : translated(choice.text), choice.role);
        if (choice.minimumWidth > 0)
            button->setMinimumWidth(choice.minimumWidth);
        return button;
    };
    const QAbstractButton* first = addChoice(texts.first);
    const QAbstractButton* second = addChoice(texts.second);
    box.setStandardButtons(texts.buttons);
    if (texts.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(texts.defaultButton);

    const int result = box.exec();
    if (first && box.clickedButton() == first)
        return UpdateFlowAnswer::FirstChoice;
    if (second && box.clickedButton() == second)
        return UpdateFlowAnswer::SecondChoice;
    return result == QMessageBox::Ok ? UpdateFlowAnswer::Ok : UpdateFlowAnswer::Cancel;
}

// The selected type's rule says whether its console channels answer on the
// service port only.
bool VEKUpdaterWidget::selectedTypeWaitsForChannels() const
{
    return DeviceTypeRules::of(selectedRowType(selectedDeviceRow())).effects.testFlag(DeviceTypeRules::ChannelsWait);
}

// False while the channels are waited for: the download follows the wait.
bool VEKUpdaterWidget::channelsFromServer(const QString& channelUrl, QString& url)
{
    if (selectedTypeWaitsForChannels()) {
        waitForChannelsForServer(channelUrl);
        return false;
    }
    url = channelUrl;
    return true;
}

void VEKUpdaterWidget::waitForChannelsForServer(const QString& url)
{
    waitForChannels([this, url] { checkChannelConnectionForServerSelection(url); });
}

// The console's channels answer on its service port: the user moves the
// cable, and the channels are looked for again a while later.
void VEKUpdaterWidget::waitForChannels(const std::function<void()>& checkAgain)
{
    m_firmwareUpdater->setWaitingForChannels(true);
    if (!askConsolePortChange()) {
        m_firmwareUpdater->setWaitingForChannels(false);
        return;
    }
    m_session.waitingForChannels = true;
    emit sendMessageToStatusBar(shared(ProgressMessages::WaitingForChannels), StatusMessageMs);
    m_channelWaitTimer->disconnect();
    connect(m_channelWaitTimer, &QTimer::timeout, this, checkAgain);
    m_channelWaitTimer->start(ChannelWaitMs);
}

void VEKUpdaterWidget::checkChannelConnectionForServerSelection(QString serverLink)
{
    if (m_firmwareUpdater->isWaitingForChannels()) {
        emit sendMessageToStatusBar(shared(ProgressMessages::ChannelsConnectionNotReceived), StatusMessageMs);
        releaseCarriedCloseLock();
        return;
    }
    emit sendMessageToStatusBar(shared(ProgressMessages::ChannelsConnectionReceived), StatusMessageMs);
    m_session.downloadFileName = QUrl(serverLink).fileName();
    showDownloadTexts(QUrl(serverLink));
    // The console needs a moment on its service port before the download.
    QThread::msleep(ChannelPauseMs);
    const QList<FirmwareInformation> channels = firmwareRecords(nsUpdater::Channels);
    m_session.selectedDeviceUid = channels.isEmpty() ? QString() : channels.first().uid;
    requestFirmwareFile(QUrl(serverLink));
}

void VEKUpdaterWidget::startFirmwareDownload(const QList<FirmwareInformation>& records, const QString& url)
{
    m_session.downloadFileName = QUrl(url).fileName();
    showDownloadTexts(QUrl(url));
    QTreeWidgetItem* row = selectedDeviceRow();
    const int index = row && row->parent() ? row->parent()->indexOfChild(row) : 0;
    m_session.selectedDeviceUid = records.value(index).uid;
    requestFirmwareFile(QUrl(url));
}

void VEKUpdaterWidget::startMotherboardDownload(const QList<FirmwareInformation>& records)
{
    const int type = records.isEmpty() ? -1 : records.first().deviceType;
    const QString url = DeviceTypeRules::of(type).motherboardStep == DeviceTypeRules::MotherboardStep::FirstAddress
                            ? address(records, 0)
                            : m_lightSourceMotherboardUrl;
    m_session.downloadFileName = QUrl(url).fileName();
    showDownloadTexts(QUrl(url));
    requestFirmwareFile(QUrl(url));
}

// The download's end releases the close lock from now on.
void VEKUpdaterWidget::requestFirmwareFile(const QUrl& url)
{
    m_session.closeLockCarried = false;
    emit sendRequestToNetwork(url, false);
}

void VEKUpdaterWidget::releaseCarriedCloseLock()
{
    if (!m_session.closeLockCarried)
        return;
    m_session.closeLockCarried = false;
    emit sendDisableCloseBehavior(false);
}

bool VEKUpdaterWidget::startProgramming(const QString& filePath)
{
    int deviceType = nsUpdater::Channels;
    if (!m_session.waitingForChannels) {
        QTreeWidgetItem* row = selectedDeviceRow();
        const QTreeWidgetItem* typeRow = row && row->parent() ? row->parent() : row;
        deviceType = typeRow ? typeRow->data(0, Qt::UserRole).toInt() : -1;
    }
    FirmwareInformation record;
    for (const FirmwareInformation& candidate : firmwareRecords(deviceType)) {
        if (candidate.uid == m_session.selectedDeviceUid)
            record = candidate;
    }
    const QString& channelVersion = record.channelInstalledVersion;
    const int digit =
        !channelVersion.isEmpty() && channelVersion.at(0).isDigit() ? channelVersion.at(0).digitValue() : -1;
    // Some types program their motherboard part as a motherboard, by their installed channel version.
    const int motherboardDigit = DeviceTypeRules::of(deviceType).motherboardDigit;
    if (m_session.motherboardPhase && motherboardDigit >= 0 && digit == motherboardDigit)
        deviceType = nsUpdater::Motherboard;
    using Start = FirmwareUpdater::StartResult;
    const Start result = m_firmwareUpdater->startUpdate(filePath, deviceType, m_session.selectedDeviceUid,
                                                        m_session.motherboardPhase, m_session.serverMode);
    switch (result) {
    case Start::NoSuchDevice: showUpdateBox(UpdateFlowBox::DeviceNotConnected); break;
    case Start::FileRefused:
        showUpdateBox(UpdateFlowBox::FileNotAccessible, filePath, m_firmwareUpdater->fileRefusal());
        break;
    case Start::FileNotAllowed: showUpdateBox(UpdateFlowBox::FileNotUsable, filePath); break;
    // An instrument the update cannot reach where it is connected.
    case Start::WrongLink: showWrongPortBox(); break;
    case Start::Started: break;
    }
    m_firmwareUpdater->setWaitingForChannels(false);
    if (result != Start::Started)
        return false;
    // The update's end releases the close lock from now on.
    m_session.closeLockCarried = false;
    return true;
}

void VEKUpdaterWidget::onStartMotherboardUpdateReceived()
{
    QTreeWidgetItem* row = selectedDeviceRow();
    const int deviceType = selectedRowType(row);
    if (deviceType < 0) {
        showUpdateBox(UpdateFlowBox::MotherboardStepFailed);
        // The channel update ended here: closing is allowed again.
        emit sendDisableCloseBehavior(false);
        return;
    }
    m_session.motherboardPhase = true;
    const QList<FirmwareInformation> records = firmwareRecords(deviceType);
    const int index = row->parent() ? row->parent()->indexOfChild(row) : 0;
    m_session.selectedDeviceUid = records.value(index).uid;
    if (m_session.serverMode)
        startMotherboardDownload(records);
    else
        chooseMotherboardFileAfterChannels(row);
}

void VEKUpdaterWidget::showProgressDialogOnce()
{
    if (!m_progressDialog->isVisible()) {
        m_closeUnlockTimer->stop();
        m_progressDialog->show();
        emit sendDisableCloseBehavior(true);
    }
}

void VEKUpdaterWidget::onFirmwareUpdaterResponseReceived(char cmd, nsFirmware::MessageStatus status, int progress)
{
    // The end of an update empties the dialog: nothing held back may land
    // in it afterwards.
    if (status != nsFirmware::InProgress)
        m_firmwareProgress->discard();
    switch (status) {
    case nsFirmware::InProgress: showFirmwareProgressStep(cmd, progress); break;
    case nsFirmware::Error: {
        m_progressDialog->clearDetailsInformation();
        m_progressDialog->close();
        showUpdateBox(UpdateFlowBox::UpdateFailed, firmwareErrorText(cmd));
        emit sendDisableCloseBehavior(false);
        break;
    }
    case nsFirmware::Success:
        if (!m_session.usb3FollowUp) {
            showUpdateCompleted();
            break;
        }
        {
            m_firmwareUpdater->setReadyToReceiveDevice();
            if (showUpdateBox(UpdateFlowBox::Usb3FollowUp) != UpdateFlowAnswer::Ok) {
                showUpdateCompleted();
                break;
            }
            m_session.usb3FollowUp = false;
            m_progressDialog->clearDetailsInformation();
            m_progressDialog->close();
            // The window stays locked into the next update; a flow that
            // starts nothing, now or after its channel wait, unlocks it.
            m_session.closeLockCarried = true;
            if (m_session.serverMode)
                onUpdateDeviceClicked();
            else
                onUpdateDeviceManuallyClicked();
            if (!m_channelWaitTimer->isActive())
                releaseCarriedCloseLock();
        }
        break;
    }
}

void VEKUpdaterWidget::showFirmwareProgressStep(char cmd, int progress)
{
    int maximum = 100;
    int value = progress;
    QString headline;
    switch (cmd) {
    case nsFirmware::ReadBootInfo:
        headline = tr("<b>Reset To Bootloader</b>");
        maximum = 0;
        value = 0;
        break;
    case nsFirmware::EraseFlash:
    case nsFirmware::ChannelEraseFlash: headline = tr("<b>Erasing Firmware</b>"); break;
    case nsFirmware::ExternalProgrammer:
        headline = tr("<b>Updating Firmware</b> [%1]").arg(m_session.downloadFileName);
        maximum = 0;
        value = 0;
        break;
    default: headline = tr("<b>Updating Firmware</b> [%1]").arg(m_session.downloadFileName); break;
    }
    showProgressDialogOnce();
    m_firmwareProgress->setBar(headline, maximum, value);
}

QString VEKUpdaterWidget::firmwareErrorText(char cmd) const
{
    switch (cmd) {
    case nsFirmware::EraseFlash:
    case nsFirmware::ChannelEraseFlash: return tr("Erasing firmware completed with error");
    case nsFirmware::ReadCrc:
    case nsFirmware::ChannelReadCrc: return tr("CRC verification failed");
    case nsFirmware::ReconnectToBootloader:
        return tr("The specified device did not reconnect by itself. Try reconnecting it manually.");
    default: return tr("Unknown error");
    }
}

void VEKUpdaterWidget::showUpdateCompleted()
{
    m_progressDialog->clearDetailsInformation();
    m_progressDialog->close();
    showUpdateBox(UpdateFlowBox::UpdateCompleted);
    m_closeUnlockTimer->start(CloseUnlockDelayMs);
}

void VEKUpdaterWidget::onSendMessageToProgressDialogReceived(QString detailsInformation)
{
    m_firmwareProgress->flush();
    showProgressDialogOnce();
    m_progressDialog->appendDetailsInformation(detailsInformation);
}

void VEKUpdaterWidget::onModifyFileProgressDialogReceived(QString detailsInformation)
{
    m_firmwareProgress->setLastLine(detailsInformation);
}

void VEKUpdaterWidget::onCloseProgressDialogReceived()
{
    m_firmwareProgress->discard();
    m_progressDialog->clearDetailsInformation();
    m_progressDialog->close();
}

// A firmware update under way is stopped before closing is allowed again:
// the window must not close while packets still go to the device.
void VEKUpdaterWidget::onProgressForceExitReceived()
{
    m_firmwareProgress->discard();
    emit sendForceExitToNetwork();
    m_firmwareUpdater->stopUpdate();
    m_channelWaitTimer->stop();
    m_session.closeLockCarried = false;
    emit sendDisableCloseBehavior(false);
}
