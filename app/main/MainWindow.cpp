#include "app/main/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/dialogs/AboutDialog.h"
#include "app/main/ApplicationIdentity.h"
#include "app/main/LanguageSettings.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "icons/IconFont.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QWhatsThis>

namespace {

// Made before any translation is installed; translated again where shown.
const char* const ChangeLanguageTitle = QT_TRANSLATE_NOOP("MainWindow", "Change Language");
const char* const ChangeLanguageQuestion =
    QT_TRANSLATE_NOOP("MainWindow", "Are you sure you what to change language to [<b>%1</b>] ?");
const char* const YesButtonText = QT_TRANSLATE_NOOP("MainWindow", "Yes");
const char* const NoButtonText = QT_TRANSLATE_NOOP("MainWindow", "No");
const char* const LanguageChangedText = QT_TRANSLATE_NOOP("MainWindow", "<b>Language changed successfully!</b>");
const char* const RestartHintText = QT_TRANSLATE_NOOP("MainWindow", "Restart the application to apply changes.");
const char* const LanguageFailedText = QT_TRANSLATE_NOOP("MainWindow", "<b>Could not change language!</b>");
const char* const LanguageFailedDetail =
    QT_TRANSLATE_NOOP("MainWindow", "An unexpected error happen while trying to changes language.");

const int ExitGlyph = 0xF00D;     // "times"
const int HelpGlyph = 0xF128;     // "question"
const int AboutGlyph = 0xF129;    // "info"
const int LanguageGlyph = 0xF57D; // "globe-americas"

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , QWidgetWithAccessToIconFont()
    , ui(new Ui::MainWindow)
    , translator()
    , closeDisabled(false)
{
    ui->setupUi(this);
    initialize();
}

MainWindow::~MainWindow()
{
    delete ui;
    updaterWidget.reset();
}

void MainWindow::initialize()
{
    QSettings settings;
    if (settings.value(nsUpdater::LanguageKey).toString() == nsUpdater::LanguageFrench) {
        if (translator.load(nsUpdater::FrenchTranslationResource))
            QCoreApplication::installTranslator(&translator);
    } else {
        QCoreApplication::removeTranslator(&translator);
    }
    ui->retranslateUi(this);
    setWindowTitle(nsUpdater::applicationDisplayName());

    if (const QSharedPointer<IconFont> icons = iconFontInstance()) {
        ui->actionExit->setIcon(icons->makeIcon(0, ExitGlyph, QVariantMap()));
        ui->actionHelp_Content->setIcon(icons->makeIcon(0, HelpGlyph, QVariantMap()));
        ui->actionAbout->setIcon(icons->makeIcon(0, AboutGlyph, QVariantMap()));
        ui->menuLanguage->setIcon(icons->makeIcon(0, LanguageGlyph, QVariantMap()));
    }
    ui->actionExit->setShortcut(QKeySequence::Close);
    ui->actionHelp_Content->setShortcut(QKeySequence::WhatsThis);

    connect(ui->actionExit, &QAction::triggered, this, &MainWindow::onActionExitTriggered);
    connect(ui->actionHelp_Content, &QAction::triggered, this, &MainWindow::onActionHelpTriggered);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::onActionAboutTriggered);
    connect(ui->actionEnglish, &QAction::triggered, this, &MainWindow::onActionEnglishTriggered);
    connect(ui->actionFrench, &QAction::triggered, this, &MainWindow::onActionFrenchTriggered);

    updaterWidget.reset(new VEKUpdaterWidget);
    ui->viewContainer->addWidget(updaterWidget.data());
    connect(updaterWidget.data(), &VEKUpdaterWidget::sendMessageToStatusBar, this, &MainWindow::updateStatusBar);
    connect(updaterWidget.data(), &VEKUpdaterWidget::sendDisableCloseBehavior, this,
            &MainWindow::onDisableCloseBehaviorReceived);
}

void MainWindow::updateStatusBar(const QString& message, int timeout)
{
    ui->statusbar->showMessage(message, timeout);
}

void MainWindow::onDisableCloseBehaviorReceived(bool disable)
{
    closeDisabled = disable;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (closeDisabled)
        event->ignore();
    else
        event->accept();
}

void MainWindow::onActionExitTriggered(bool checked)
{
    Q_UNUSED(checked)
    close();
}

void MainWindow::onActionHelpTriggered(bool checked)
{
    Q_UNUSED(checked)
    QWhatsThis::enterWhatsThisMode();
}

void MainWindow::onActionAboutTriggered(bool checked)
{
    Q_UNUSED(checked)
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::onActionEnglishTriggered(bool checked)
{
    Q_UNUSED(checked)
    changeLanguage(false);
}

void MainWindow::onActionFrenchTriggered(bool checked)
{
    Q_UNUSED(checked)
    changeLanguage(true);
}

void MainWindow::changeLanguage(bool toFrench)
{
    const QString requested = toFrench ? nsUpdater::LanguageFrench : nsUpdater::LanguageEnglish;
    QSettings settings;
    if (settings.value(nsUpdater::LanguageKey).toString() == requested)
        return;

    QMessageBox question;
    question.setWindowTitle(tr(ChangeLanguageTitle));
    question.setIcon(QMessageBox::Question);
    question.setText(tr(ChangeLanguageQuestion).arg(requested));
    QPushButton* yes = question.addButton(tr(YesButtonText), QMessageBox::AcceptRole);
    question.addButton(tr(NoButtonText), QMessageBox::RejectRole);
    question.exec();
    if (question.clickedButton() != yes)
        return;

    bool success = false;
    if (toFrench) {
        if (translator.load(nsUpdater::FrenchTranslationResource)) {
            success = QCoreApplication::installTranslator(&translator);
            settings.setValue(nsUpdater::LanguageKey, nsUpdater::LanguageFrench);
        }
    } else {
        // Whether it was installed or not, English is what runs now.
        QCoreApplication::removeTranslator(&translator);
        success = true;
        settings.setValue(nsUpdater::LanguageKey, nsUpdater::LanguageEnglish);
    }

    QMessageBox result;
    result.setWindowTitle(tr(ChangeLanguageTitle));
    result.setStandardButtons(QMessageBox::Ok);
    if (success) {
        result.setIcon(QMessageBox::Information);
        result.setText(tr(LanguageChangedText));
        result.setInformativeText(tr(RestartHintText));
    } else {
        result.setIcon(QMessageBox::Critical);
        result.setText(tr(LanguageFailedText));
        result.setInformativeText(tr(LanguageFailedDetail));
    }
    result.exec();
}
