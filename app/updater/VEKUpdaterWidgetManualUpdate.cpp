// The Devices tab's manual firmware update: the file dialog and
// its filters by device type, with their questions, the manual form of the
// console-channel wait and the motherboard file after the channels. The
// hand-over and the result are those of VEKUpdaterWidgetServerUpdate.cpp.

#include "app/updater/VEKUpdaterWidget.h"

#include "app/dialogs/ButtonIdentifiers.h"
#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/CypressChoiceDialog.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/FirmwareFilePatterns.h"
#include "app/updater/UpdaterWidgetHelpers.h"
#include "device/usb/UsbIds.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareUpdater.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

using namespace nsUpdaterWidget;
using nsFirmware::ButtonIdentifier;

namespace {

QStringList oneFilter(const QString& filter)
{
    return filter.isEmpty() ? QStringList() : QStringList { filter };
}

QString desktopFolder()
{
    return QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0);
}

} // namespace

void VEKUpdaterWidget::onUpdateDeviceManuallyClicked(bool)
{
    QTreeWidgetItem* row = nullptr;
    int deviceType = -1;
    if (!beginUpdate(row, deviceType))
        return;
    const QList<FirmwareInformation> records = firmwareRecords(deviceType);
    QFileDialog dialog;
    dialog.setDirectory(desktopFolder());
    if (!setManualFileFilter(deviceType, records.value(0), &dialog))
        return;
    execFirmwareFileDialog(records, &dialog);
}

void VEKUpdaterWidget::execFirmwareFileDialog(const QList<FirmwareInformation>& records, QFileDialog* dialog)
{
    QTreeWidgetItem* row = selectedDeviceRow();
    const int index = row && row->parent() ? row->parent()->indexOfChild(row) : 0;
    m_session.selectedDeviceUid = records.value(index).uid;
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().first();
    m_session.serverMode = false;
    m_session.downloadFileName = QFileInfo(path).fileName();
    startProgramming(path);
}

bool VEKUpdaterWidget::setManualFileFilter(int deviceType, FirmwareInformation information, QFileDialog* dialog)
{
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(deviceType);
    if (refusedForWrongPort(rule, information.uid))
        return false;
    applyUpdateEffects(rule);
    const QString rowText = selectedDeviceRow() ? selectedDeviceRow()->text(0) : QString();
    const QStringList& filters = information.filters;
    using Rule = DeviceTypeRules::ManualRule;
    switch (rule.manual) {
    case Rule::None: return false;
    case Rule::NoFilter: return true;
    case Rule::AllFilters: dialog->setNameFilters(filters); return true;
    case Rule::RotaryJointByProductId:
        dialog->setNameFilters(oneFilter(
            filterAt(filters, firstDeviceHasProductId(deviceType, nsUsbIds::RotaryJointBootloaderProductId) ? 0 : -1)));
        return true;
    case Rule::BootloaderByDevice: return setBootloaderFileFilter(information, dialog);
    case Rule::ChooseChannelsFamily: return setChannelsFileFilter(dialog);
    case Rule::ChooseConsole: return setConsoleFileFilter(information, dialog);
    case Rule::ChooseMemoryManagerPart: return setMemoryManagerFileFilter(information, dialog);
    case Rule::ChooseGQZ3: return setGQZ3FileFilter(information, dialog);
    case Rule::LastFilterChannelsFirst:
        dialog->setNameFilters(oneFilter(filterAt(filters, -1)));
        return askChannelsFirst();
    case Rule::ChooseKAVOR: return setKAVORFileFilter(dialog);
    case Rule::ChooseMotherboardOrChannels:
        dialog->setWindowTitle(tr("Choose the Motherboard Firmware File (.hex)"));
        return setMotherboardFileFilter(selectedDeviceRow(), dialog);
    case Rule::ChooseCypressBoard: return setUSB3DriverFileFilter(information, dialog);
    case Rule::SarvantiByName:
        dialog->setNameFilters({ rowText.contains(QLatin1String("Motor")) || rowText.contains(QLatin1String("Disk"))
                                     ? SarvantiDiskDriverFirmwarePattern
                                     : SarvantiDriverFirmwarePattern });
        return true;
    case Rule::SarvantiGen2ByName:
        dialog->setNameFilters({ rowText.contains(QLatin1String("Disk")) ? SarvantiGen2DiskDriverFirmwarePattern
                                                                         : SarvantiGen2DriverFirmwarePattern });
        return true;
    }
    return true;
}

bool VEKUpdaterWidget::setChannelsFileFilter(QFileDialog* dialog)
{
    ChoiceDialog choice;
    choice.hideButton(ButtonIdentifier::LightSourceButton);
    choice.hideButton(ButtonIdentifier::KAVORButton);
    choice.exec();
    switch (static_cast<ButtonIdentifier>(choice.buttonIdentifier())) {
    case ButtonIdentifier::ElectrophyButton: dialog->setNameFilters({ QWMFirmwarePattern }); return true;
    case ButtonIdentifier::PhotometryButton: dialog->setNameFilters({ TRZFirmwarePattern }); return true;
    case ButtonIdentifier::MicroscopeButton: dialog->setNameFilters({ MicroscopeDriverFirmwarePattern }); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::setBootloaderFileFilter(const FirmwareInformation& information, QFileDialog* dialog)
{
    QStringList chosen;
    const QList<QSharedPointer<MovraDeviceInfo>> devices =
        m_firmwareUpdater->getAvailableDevices(nsUpdater::Bootloader);
    for (const QSharedPointer<MovraDeviceInfo>& device : devices) {
        if (!device)
            continue;
        const bool same = device->uid() == information.uid;
        const QByteArray firmware = device->motherboardFirmware();
        if (same && firmware == "HLX_58")
            chosen = { HLX58FirmwarePattern };
        else if (same && firmware == "HLX_58_Gen2")
            chosen = { HLX58Gen2FirmwarePattern };
        else if (device->pid() == nsUsbIds::PIC32BootloaderProductId)
            chosen = { KZR410FirmwarePattern, KOTWGen3FirmwarePattern, SarvantiGen2DriverFirmwarePattern };
        else if (same && firmware.contains("Motherboard") && device->releaseNumber() == 1)
            chosen = information.filters;
    }
    dialog->setNameFilters(chosen);
    return true;
}

bool VEKUpdaterWidget::setConsoleFileFilter(const FirmwareInformation& information, QFileDialog* dialog)
{
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        dialog->setWindowTitle(tr("Choose the Motherboard Firmware File (.hex)"));
        m_session.motherboardPhase = true;
        dialog->setNameFilters(oneFilter(filterAt(information.filters, 0)));
        return true;
    case QMessageBox::Ok: {
        QStringList filters;
        if (!channelsFromFile(oneFilter(filterAt(information.filters, -1)), filters))
            return false;
        dialog->setNameFilters(filters);
        return true;
    }
    default: return false;
    }
}

bool VEKUpdaterWidget::setMemoryManagerFileFilter(const FirmwareInformation& information, QFileDialog* dialog)
{
    const UpdateFlowAnswer answer = showUpdateBox(UpdateFlowBox::WhichPart);
    if (answer == UpdateFlowAnswer::FirstChoice) {
        m_session.motherboardPhase = true;
        dialog->setNameFilters(oneFilter(filterAt(information.filters, 0)));
        dialog->setWindowTitle(tr("Choose the Motherboard Firmware File (.hex)"));
        return true;
    }
    if (answer == UpdateFlowAnswer::SecondChoice) {
        dialog->setNameFilters(oneFilter(filterAt(information.filters, -1)));
        dialog->setWindowTitle(tr("Choose the Channel(s) Firmware File (.hex)"));
        return true;
    }
    return false;
}

// The USB3 driver follow-up is already set (the type's effects).
bool VEKUpdaterWidget::setGQZ3FileFilter(const FirmwareInformation& information, QFileDialog* dialog)
{
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        m_session.motherboardPhase = true;
        dialog->setWindowTitle(tr("Choose the Motherboard Firmware File (.hex)"));
        dialog->setNameFilters(oneFilter(filterAt(information.filters, 0)));
        return true;
    case QMessageBox::Ok: dialog->setNameFilters(oneFilter(filterAt(information.filters, -1))); return true;
    default: return false;
    }
}

bool VEKUpdaterWidget::setKAVORFileFilter(QFileDialog* dialog)
{
    const QSharedPointer<MovraDeviceInfo> device = firstAvailableDevice(nsUpdater::KAVOR);
    const int channels = device ? device->channelCount() : -1;
    dialog->setNameFilters({ channels == 1 ? KAVOROnlyFirmwarePattern : KAVOROneChannelFirmwarePattern });
    return askChannelsFirst();
}

bool VEKUpdaterWidget::setMotherboardFileFilter(QTreeWidgetItem* row, QFileDialog* dialog)
{
    const QString name = row ? row->text(0) : QString();
    QStringList filters;
    switch (askMotherboardOrChannels()) {
    case QMessageBox::Yes:
        m_session.motherboardPhase = true;
        appendMotherboardFileFilters(name, filters);
        dialog->setWindowTitle(QStringLiteral("Choose the Motherboard Firmware File (.hex)"));
        break;
    case QMessageBox::Ok:
        m_session.motherboardPhase = false;
        dialog->setWindowTitle(QStringLiteral("Choose the Channel(s) Firmware File (.hex)"));
        if (!chooseChannelFileFilter(name, filters))
            return false;
        break;
    default: return false;
    }
    dialog->setNameFilters(filters);
    return true;
}

void VEKUpdaterWidget::appendMotherboardFileFilters(const QString& name, QStringList& filters)
{
    m_session.motherboardPhase = true;
    if (name.contains(QLatin1String("LightSource")))
        filters << PQWFirmwarePattern << PQWKAVOROnlyFirmwarePattern << PQWKAVOROneChannelFirmwarePattern;
    else if (name.contains(QLatin1String("Console")))
        filters << KJWFirmwarePattern;
    else
        filters << KJWFirmwarePattern << PQWFirmwarePattern << PQWKAVOROnlyFirmwarePattern
                << PQWKAVOROneChannelFirmwarePattern;
}

bool VEKUpdaterWidget::chooseChannelFileFilter(const QString& name, QStringList& filters)
{
    ChoiceDialog choice;
    if (name.contains(QLatin1String("LightSource")) || name.contains(QLatin1String("KAVOR"))) {
        choice.hideButton(ButtonIdentifier::ElectrophyButton);
        choice.hideButton(ButtonIdentifier::PhotometryButton);
    } else if (name.contains(QLatin1String("Console"))) {
        choice.hideButton(ButtonIdentifier::LightSourceButton);
        choice.hideButton(ButtonIdentifier::KAVORButton);
    }
    choice.hideButton(ButtonIdentifier::MicroscopeButton);
    choice.exec();
    switch (static_cast<ButtonIdentifier>(choice.buttonIdentifier())) {
    case ButtonIdentifier::LightSourceButton:
        filters << LightSourceDefaultFirmwarePattern << HybridChannelFirmwarePattern;
        return askChannelsFirst();
    case ButtonIdentifier::KAVORButton: {
        const QSharedPointer<MovraDeviceInfo> device = firstAvailableDevice(nsUpdater::KAVOR);
        const int channels = device ? device->channelCount() : -1;
        filters << (channels == 1 ? KAVOROnlyFirmwarePattern : KAVOROneChannelFirmwarePattern);
        return askChannelsFirst();
    }
    case ButtonIdentifier::ElectrophyButton: return channelsFromFile({ QWMFirmwarePattern }, filters);
    case ButtonIdentifier::PhotometryButton: return channelsFromFile({ TRZFirmwarePattern }, filters);
    default: return false;
    }
}

bool VEKUpdaterWidget::setUSB3DriverFileFilter(const FirmwareInformation& information, QFileDialog* dialog)
{
    CypressChoiceDialog choice;
    choice.exec();
    QString filter;
    switch (static_cast<CypressChoiceDialog::CypressButtonIdentifier>(choice.buttonIdentifier())) {
    case CypressChoiceDialog::CypressButtonIdentifier::GQZ3Button: filter = filterAt(information.filters, 0); break;
    case CypressChoiceDialog::CypressButtonIdentifier::GQZ3KAVORButton:
        filter = filterAt(information.filters, 1);
        break;
    case CypressChoiceDialog::CypressButtonIdentifier::TV720Button: filter = filterAt(information.filters, -1); break;
    default: return false;
    }
    dialog->setNameFilters(oneFilter(filter) << FX3ImagePattern);
    return true;
}

void VEKUpdaterWidget::chooseMotherboardFileAfterChannels(QTreeWidgetItem* row)
{
    QFileDialog dialog;
    dialog.setWindowTitle(tr("Choose the Motherboard Firmware File (.hex)"));
    dialog.setDirectory(desktopFolder());
    const QString name = row ? row->text(0) : QString();
    if (name.contains(QLatin1String("LightSource")))
        dialog.setNameFilters({ PQWFirmwarePattern, PQWKAVOROnlyFirmwarePattern, PQWKAVOROneChannelFirmwarePattern,
                                HybridMotherboardFirmwarePattern });
    else if (name.contains(QLatin1String("Console")))
        dialog.setNameFilters({ KJWFirmwarePattern, HybridMotherboardFirmwarePattern });
    else
        dialog.setNameFilters({ HybridMotherboardFirmwarePattern, KJWFirmwarePattern, PQWFirmwarePattern,
                                PQWKAVOROnlyFirmwarePattern, PQWKAVOROneChannelFirmwarePattern });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    m_session.serverMode = false;
    m_session.downloadFileName = QFileInfo(path).fileName();
    startProgramming(path);
}

bool VEKUpdaterWidget::askChannelsFirst()
{
    return showUpdateBox(UpdateFlowBox::ChannelsFirst) == UpdateFlowAnswer::Ok;
}

// False while the channels are waited for: the file dialog follows the wait.
bool VEKUpdaterWidget::channelsFromFile(const QStringList& channelFilters, QStringList& filters)
{
    if (selectedTypeWaitsForChannels()) {
        waitForChannelsForManual(channelFilters);
        return false;
    }
    filters << channelFilters;
    return true;
}

void VEKUpdaterWidget::waitForChannelsForManual(const QStringList& filters)
{
    waitForChannels([this, filters] { checkChannelConnectionForManualSelection(filters); });
}

void VEKUpdaterWidget::checkChannelConnectionForManualSelection(QStringList filters)
{
    chooseChannelFileAfterWait(filters);
    // Whatever ended the wait, a flow that started nothing unlocks the window.
    releaseCarriedCloseLock();
}

void VEKUpdaterWidget::chooseChannelFileAfterWait(const QStringList& filters)
{
    if (m_firmwareUpdater->isWaitingForChannels()) {
        emit sendMessageToStatusBar(shared(ProgressMessages::ChannelsConnectionNotReceived), StatusMessageMs);
        return;
    }
    emit sendMessageToStatusBar(shared(ProgressMessages::ChannelsConnectionReceived), StatusMessageMs);
    QFileDialog dialog;
    dialog.setNameFilters(filters);
    const QList<FirmwareInformation> channels = firmwareRecords(nsUpdater::Channels);
    m_session.selectedDeviceUid = channels.isEmpty() ? QString() : channels.first().uid;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()
        || m_firmwareUpdater->isWaitingForChannels())
        return;
    m_firmwareUpdater->setWaitingForChannels(false);
    const QString path = dialog.selectedFiles().first();
    m_session.downloadFileName = QFileInfo(path).fileName();
    m_session.serverMode = false;
    startProgramming(path);
}
