#include "app/updater/UpdaterWidgetUi.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QSizePolicy stretched(QSizePolicy::Policy horizontal, QSizePolicy::Policy vertical, int verticalStretch)
{
    QSizePolicy policy(horizontal, vertical);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(verticalStretch);
    return policy;
}

QTreeWidget* makeTree(QWidget* tab, const char* objectName)
{
    auto* tree = new QTreeWidget(tab);
    tree->setObjectName(QString::fromLatin1(objectName));
    tree->setSizePolicy(stretched(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding, 50));
    QFont font;
    font.setPointSize(9);
    tree->setFont(font);
    tree->setAutoScroll(false);
    tree->setIndentation(20);
    tree->setSortingEnabled(false);
    tree->setColumnCount(2);
    return tree;
}

QPushButton* makeButton(QWidget* tab, const char* objectName, bool enabled)
{
    auto* button = new QPushButton(tab);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setSizePolicy(stretched(QSizePolicy::Minimum, QSizePolicy::Fixed, 0));
    button->setEnabled(enabled);
    return button;
}

QLabel* makeLabel(QWidget* tab, const char* objectName)
{
    auto* label = new QLabel(tab);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QTextBrowser* makePane(QWidget* tab, const char* objectName, int maximumHeight)
{
    auto* pane = new QTextBrowser(tab);
    pane->setObjectName(QString::fromLatin1(objectName));
    pane->setSizePolicy(stretched(QSizePolicy::Expanding, QSizePolicy::Expanding, 10));
    pane->setMaximumSize(QSize(16777215, maximumHeight));
    return pane;
}

QTextBrowser* makeDescription(QWidget* tab, const char* objectName)
{
    auto* pane = new QTextBrowser(tab);
    pane->setObjectName(QString::fromLatin1(objectName));
    pane->setSizePolicy(stretched(QSizePolicy::Expanding, QSizePolicy::Expanding, 20));
    return pane;
}

QSpacerItem* makeSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

// The rich-text documents of the panes, as the form designer writes them.
const char* const DocumentHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
    "p, li { white-space: pre-wrap; }\n"
    "</style></head><body style=\" font-family:'Segoe UI'; font-size:9pt; font-weight:400; font-style:normal;\">\n";
const char* const DocumentTail = "</body></html>";
const char* const Paragraph = "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
                              "-qt-block-indent:0; text-indent:0px;\">";
const char* const EmptyParagraph =
    "<p style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
    "-qt-block-indent:0; text-indent:0px; font-family:'MS Shell Dlg 2';\"><br /></p>\n";

QString caption(const QString& text)
{
    return QString::fromLatin1(Paragraph)
           + QStringLiteral("<span style=\" font-family:'MS Shell Dlg 2'; font-size:10pt; font-weight:600;\">%1 "
                            ":</span></p>\n")
                 .arg(text);
}

QString valueLine(const QString& word, int marker)
{
    return QString::fromLatin1(Paragraph)
           + QStringLiteral(
                 "<span style=\" font-family:'MS Shell Dlg 2';\">%1</span><span style=\" font-family:'MS Shell "
                 "Dlg 2'; font-weight:600;\">:</span><span style=\" font-family:'MS Shell Dlg 2';\"> %")
                 .arg(word)
           + QString::number(marker) + QStringLiteral("</span></p>\n");
}

QString markerLine(int marker)
{
    return QString::fromLatin1(Paragraph) + QStringLiteral("<span style=\" font-family:'MS Shell Dlg 2';\">%")
           + QString::number(marker) + QStringLiteral("</span></p>\n");
}

QString document(const QString& body)
{
    return QString::fromLatin1(DocumentHead) + body + QString::fromLatin1(DocumentTail);
}

QString versionDocument(const QString& heading, const QStringList& words)
{
    QString body = caption(heading);
    for (int i = 0; i < words.size(); ++i)
        body += valueLine(words.at(i), i + 1);
    return document(body);
}

QString descriptionDocument(const QString& heading)
{
    return document(caption(heading) + markerLine(1) + QString::fromLatin1(EmptyParagraph)
                    + caption(QCoreApplication::translate("UpdaterWidget", "Website")) + markerLine(2));
}

} // namespace

void UpdaterWidgetUi::setupUi(QTabWidget* updaterWidget)
{
    if (updaterWidget->objectName().isEmpty())
        updaterWidget->setObjectName(QStringLiteral("UpdaterWidget"));
    updaterWidget->resize(571, 650);
    updaterWidget->setSizePolicy(stretched(QSizePolicy::Preferred, QSizePolicy::Preferred, 0));
    updaterWidget->setMinimumSize(QSize(0, 650));

    tab_4 = new QWidget();
    tab_4->setObjectName(QStringLiteral("tab_4"));
    verticalLayout_5 = new QVBoxLayout(tab_4);
    verticalLayout_5->setObjectName(QStringLiteral("verticalLayout_5"));
    treeWidget_device = makeTree(tab_4, "treeWidget_device");
    treeWidget_device->setLineWidth(1);
    treeWidget_device->setAutoScrollMargin(16);
    treeWidget_device->setAutoExpandDelay(-1);
    treeWidget_device->setUniformRowHeights(false);
    treeWidget_device->header()->setVisible(true);
    treeWidget_device->header()->setMinimumSectionSize(28);
    treeWidget_device->header()->setDefaultSectionSize(100);
    treeWidget_device->header()->setHighlightSections(false);
    treeWidget_device->header()->setSortIndicatorShown(false);
    treeWidget_device->header()->setStretchLastSection(true);
    verticalLayout_5->addWidget(treeWidget_device);
    horizontalLayout_11 = new QHBoxLayout();
    horizontalLayout_11->setObjectName(QStringLiteral("horizontalLayout_11"));
    pb_checkUpdateDevice = makeButton(tab_4, "pb_checkUpdateDevice", true);
    horizontalLayout_11->addWidget(pb_checkUpdateDevice);
    lb_infoUpdateDevice = makeLabel(tab_4, "lb_infoUpdateDevice");
    horizontalLayout_11->addWidget(lb_infoUpdateDevice);
    horizontalSpacer_device = makeSpacer();
    horizontalLayout_11->addItem(horizontalSpacer_device);
    pb_updateDevice = makeButton(tab_4, "pb_updateDevice", false);
    horizontalLayout_11->addWidget(pb_updateDevice);
    pb_updateDeviceManually = makeButton(tab_4, "pb_updateDeviceManually", false);
    horizontalLayout_11->addWidget(pb_updateDeviceManually);
    verticalLayout_5->addLayout(horizontalLayout_11);
    horizontalLayout_3 = new QHBoxLayout();
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    textBrowser_deviceBoot = makePane(tab_4, "textBrowser_deviceBoot", 60);
    horizontalLayout_3->addWidget(textBrowser_deviceBoot);
    textBrowser_deviceMB = makePane(tab_4, "textBrowser_deviceMB", 60);
    horizontalLayout_3->addWidget(textBrowser_deviceMB);
    textBrowser_deviceChannel = makePane(tab_4, "textBrowser_deviceChannel", 60);
    horizontalLayout_3->addWidget(textBrowser_deviceChannel);
    verticalLayout_5->addLayout(horizontalLayout_3);
    textBrowser_deviceDesc = makeDescription(tab_4, "textBrowser_deviceDesc");
    verticalLayout_5->addWidget(textBrowser_deviceDesc);
    updaterWidget->addTab(tab_4, QString());

    tab_5 = new QWidget();
    tab_5->setObjectName(QStringLiteral("tab_5"));
    verticalLayout_6 = new QVBoxLayout(tab_5);
    verticalLayout_6->setObjectName(QStringLiteral("verticalLayout_6"));
    treeWidget_plugin = makeTree(tab_5, "treeWidget_plugin");
    verticalLayout_6->addWidget(treeWidget_plugin);
    horizontalLayout_4 = new QHBoxLayout();
    horizontalLayout_4->setObjectName(QStringLiteral("horizontalLayout_4"));
    pb_checkUpdatePlugin = makeButton(tab_5, "pb_checkUpdatePlugin", true);
    horizontalLayout_4->addWidget(pb_checkUpdatePlugin);
    lb_infoUpdatePlugin = makeLabel(tab_5, "lb_infoUpdatePlugin");
    horizontalLayout_4->addWidget(lb_infoUpdatePlugin);
    horizontalSpacer_plugin = makeSpacer();
    horizontalLayout_4->addItem(horizontalSpacer_plugin);
    pb_updatePlugin = makeButton(tab_5, "pb_updatePlugin", false);
    horizontalLayout_4->addWidget(pb_updatePlugin);
    verticalLayout_6->addLayout(horizontalLayout_4);
    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    textBrowser_pluginVersion = makePane(tab_5, "textBrowser_pluginVersion", 60);
    horizontalLayout_2->addWidget(textBrowser_pluginVersion);
    textBrowser_6 = makePane(tab_5, "textBrowser_6", 60);
    horizontalLayout_2->addWidget(textBrowser_6);
    textBrowser_5 = makePane(tab_5, "textBrowser_5", 60);
    horizontalLayout_2->addWidget(textBrowser_5);
    verticalLayout_6->addLayout(horizontalLayout_2);
    textBrowser_pluginDesc = makeDescription(tab_5, "textBrowser_pluginDesc");
    verticalLayout_6->addWidget(textBrowser_pluginDesc);
    updaterWidget->addTab(tab_5, QString());

    tab_6 = new QWidget();
    tab_6->setObjectName(QStringLiteral("tab_6"));
    verticalLayout_10 = new QVBoxLayout(tab_6);
    verticalLayout_10->setObjectName(QStringLiteral("verticalLayout_10"));
    treeWidget_software = makeTree(tab_6, "treeWidget_software");
    verticalLayout_10->addWidget(treeWidget_software);
    horizontalLayout_7 = new QHBoxLayout();
    horizontalLayout_7->setObjectName(QStringLiteral("horizontalLayout_7"));
    pb_checkUpdateSoftware = makeButton(tab_6, "pb_checkUpdateSoftware", true);
    horizontalLayout_7->addWidget(pb_checkUpdateSoftware);
    lb_infoUpdateSoftware = makeLabel(tab_6, "lb_infoUpdateSoftware");
    horizontalLayout_7->addWidget(lb_infoUpdateSoftware);
    horizontalSpacer_software = makeSpacer();
    horizontalLayout_7->addItem(horizontalSpacer_software);
    pb_updateSoftware = makeButton(tab_6, "pb_updateSoftware", false);
    horizontalLayout_7->addWidget(pb_updateSoftware);
    verticalLayout_10->addLayout(horizontalLayout_7);
    horizontalLayout_6 = new QHBoxLayout();
    horizontalLayout_6->setObjectName(QStringLiteral("horizontalLayout_6"));
    textBrowser_softwareVersion = makePane(tab_6, "textBrowser_softwareVersion", 75);
    horizontalLayout_6->addWidget(textBrowser_softwareVersion);
    textBrowser_9 = makePane(tab_6, "textBrowser_9", 75);
    horizontalLayout_6->addWidget(textBrowser_9);
    textBrowser_10 = makePane(tab_6, "textBrowser_10", 75);
    horizontalLayout_6->addWidget(textBrowser_10);
    verticalLayout_10->addLayout(horizontalLayout_6);
    textBrowser_softwareDesc = makeDescription(tab_6, "textBrowser_softwareDesc");
    verticalLayout_10->addWidget(textBrowser_softwareDesc);
    updaterWidget->addTab(tab_6, QString());

    retranslateUi(updaterWidget);
    updaterWidget->setCurrentIndex(0);
}

void UpdaterWidgetUi::retranslateUi(QTabWidget* updaterWidget)
{
    updaterWidget->setWindowTitle(QString());
    const QString checkText = QCoreApplication::translate("UpdaterWidget", "Check for server updates");
    const QString updateText = QCoreApplication::translate("UpdaterWidget", "Update from server");
    const QString notCheckedText = QCoreApplication::translate("UpdaterWidget", "You haven't check for updates yet");
    const QStringList installedAvailable { QCoreApplication::translate("UpdaterWidget", "Installed"),
                                           QCoreApplication::translate("UpdaterWidget", "Available") };

    for (QTreeWidget* tree : { treeWidget_device, treeWidget_plugin, treeWidget_software }) {
        QTreeWidgetItem* header = tree->headerItem();
        header->setText(0, QCoreApplication::translate("UpdaterWidget", "Name"));
        header->setText(1, QCoreApplication::translate("UpdaterWidget", "Status"));
    }

    pb_checkUpdateDevice->setText(checkText);
    lb_infoUpdateDevice->setText(QCoreApplication::translate("UpdaterWidget", "Update(s) not checked yet"));
    pb_updateDevice->setText(updateText);
    pb_updateDeviceManually->setText(QCoreApplication::translate("UpdaterWidget", "Update manually"));
    textBrowser_deviceBoot->setHtml(versionDocument(QCoreApplication::translate("UpdaterWidget", "Bootloader Version"),
                                                    { QCoreApplication::translate("UpdaterWidget", "Installed") }));
    textBrowser_deviceMB->setHtml(
        versionDocument(QCoreApplication::translate("UpdaterWidget", "Motherboard Version"), installedAvailable));
    textBrowser_deviceChannel->setHtml(
        versionDocument(QCoreApplication::translate("UpdaterWidget", "Channel(s) Version"), installedAvailable));
    textBrowser_deviceDesc->setHtml(
        descriptionDocument(QCoreApplication::translate("UpdaterWidget", "Device Description")));
    updaterWidget->setTabText(updaterWidget->indexOf(tab_4), QCoreApplication::translate("UpdaterWidget", "Devices"));

    pb_checkUpdatePlugin->setText(checkText);
    lb_infoUpdatePlugin->setText(notCheckedText);
    pb_updatePlugin->setText(updateText);
    textBrowser_pluginVersion->setHtml(
        versionDocument(QCoreApplication::translate("UpdaterWidget", "Plugin Version"), installedAvailable));
    textBrowser_pluginDesc->setHtml(
        descriptionDocument(QCoreApplication::translate("UpdaterWidget", "Plugin Description")));
    updaterWidget->setTabText(updaterWidget->indexOf(tab_5), QCoreApplication::translate("UpdaterWidget", "Plugins"));

    pb_checkUpdateSoftware->setText(checkText);
    lb_infoUpdateSoftware->setText(notCheckedText);
    pb_updateSoftware->setText(updateText);
    textBrowser_softwareVersion->setHtml(
        versionDocument(QCoreApplication::translate("UpdaterWidget", "Software Version"),
                        { QCoreApplication::translate("UpdaterWidget", "Installed"),
                          QCoreApplication::translate("UpdaterWidget", "Stable"),
                          QCoreApplication::translate("UpdaterWidget", "Beta") }));
    textBrowser_softwareDesc->setHtml(
        descriptionDocument(QCoreApplication::translate("UpdaterWidget", "Software Description")));
    updaterWidget->setTabText(updaterWidget->indexOf(tab_6), QCoreApplication::translate("UpdaterWidget", "Softwares"));
}
