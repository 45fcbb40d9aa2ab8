// The Plugins and Softwares tabs: the installed
// plugins and programs, their trees and panes, and their downloads.

#include "app/updater/VEKUpdaterWidget.h"
#include "ui_UpdaterWidgetUi.h"

#include "app/catalogue/CatalogueAddresses.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/dialogs/SoftwareChoiceDialog.h"
#include "app/installed/InstalledPluginScanner.h"
#include "app/installed/InstalledSoftwareReader.h"
#include "app/installed/InstallerRunner.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/UpdaterWidgetHelpers.h"
#include "firmware/core/ProgressMessages.h"
#include "icons/IconFont.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace nsUpdaterWidget;

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
    m_session.downloadFileName = address.fileName(QUrl::FullyDecoded);
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
