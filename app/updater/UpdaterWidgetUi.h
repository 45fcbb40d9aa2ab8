#pragma once

class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QVBoxLayout;
class QWidget;

// The updater widget's form: the Devices, Plugins and Softwares tabs with
// their trees, buttons, status lines and panes. Texts belong to the
// translation context "UpdaterWidget"; the panes start with rich-text
// documents whose place-markers the widget fills later.
class UpdaterWidgetUi
{
public:
    QWidget* tab_4 = nullptr;
    QVBoxLayout* verticalLayout_5 = nullptr;
    QTreeWidget* treeWidget_device = nullptr;
    QHBoxLayout* horizontalLayout_11 = nullptr;
    QPushButton* pb_checkUpdateDevice = nullptr;
    QLabel* lb_infoUpdateDevice = nullptr;
    QSpacerItem* horizontalSpacer_device = nullptr;
    QPushButton* pb_updateDevice = nullptr;
    QPushButton* pb_updateDeviceManually = nullptr;
    QHBoxLayout* horizontalLayout_3 = nullptr;
    QTextBrowser* textBrowser_deviceBoot = nullptr;
    QTextBrowser* textBrowser_deviceMB = nullptr;
    QTextBrowser* textBrowser_deviceChannel = nullptr;
    QTextBrowser* textBrowser_deviceDesc = nullptr;

    QWidget* tab_5 = nullptr;
    QVBoxLayout* verticalLayout_6 = nullptr;
    QTreeWidget* treeWidget_plugin = nullptr;
    QHBoxLayout* horizontalLayout_4 = nullptr;
    QPushButton* pb_checkUpdatePlugin = nullptr;
    QLabel* lb_infoUpdatePlugin = nullptr;
    QSpacerItem* horizontalSpacer_plugin = nullptr;
    QPushButton* pb_updatePlugin = nullptr;
    QHBoxLayout* horizontalLayout_2 = nullptr;
    QTextBrowser* textBrowser_pluginVersion = nullptr;
    QTextBrowser* textBrowser_6 = nullptr;
    QTextBrowser* textBrowser_5 = nullptr;
    QTextBrowser* textBrowser_pluginDesc = nullptr;

    QWidget* tab_6 = nullptr;
    QVBoxLayout* verticalLayout_10 = nullptr;
    QTreeWidget* treeWidget_software = nullptr;
    QHBoxLayout* horizontalLayout_7 = nullptr;
    QPushButton* pb_checkUpdateSoftware = nullptr;
    QLabel* lb_infoUpdateSoftware = nullptr;
    QSpacerItem* horizontalSpacer_software = nullptr;
    QPushButton* pb_updateSoftware = nullptr;
    QHBoxLayout* horizontalLayout_6 = nullptr;
    QTextBrowser* textBrowser_softwareVersion = nullptr;
    QTextBrowser* textBrowser_9 = nullptr;
    QTextBrowser* textBrowser_10 = nullptr;
    QTextBrowser* textBrowser_softwareDesc = nullptr;

    // Builds the tabs into the widget, which owns everything made here.
    void setupUi(QTabWidget* updaterWidget);
    void retranslateUi(QTabWidget* updaterWidget);
};
