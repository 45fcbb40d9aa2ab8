#pragma once

#include "icons/QWidgetWithAccessToIconFont.h"

#include <QMainWindow>
#include <QSharedPointer>
#include <QTranslator>

class VEKUpdaterWidget;

namespace Ui {
class MainWindow;
}

// The program's only top-level window: menus, language choice, status bar
// and the close lock the updater sets while an operation runs.
class MainWindow : public QMainWindow, public QWidgetWithAccessToIconFont
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

public slots:
    void updateStatusBar(const QString& message, int timeout = 0);
    void onDisableCloseBehaviorReceived(bool disable);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onActionExitTriggered(bool checked = false);
    void onActionHelpTriggered(bool checked = false);
    void onActionAboutTriggered(bool checked = false);
    void onActionEnglishTriggered(bool checked = false);
    void onActionFrenchTriggered(bool checked = false);

private:
    void initialize();
    void changeLanguage(bool toFrench);

    Ui::MainWindow* ui;
    QTranslator translator;
    QSharedPointer<VEKUpdaterWidget> updaterWidget;
    bool closeDisabled;
};
