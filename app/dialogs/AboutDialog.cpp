#include "app/dialogs/AboutDialog.h"
#include "ui_AboutDialog.h"

#include "app/main/ApplicationIdentity.h"
#include "platform/PlatformServices.h"

#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>

#include <cmath>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(QStringLiteral("About %1").arg(nsUpdater::applicationDisplayName()));
    fillSystemInformation();
    connect(ui->pb_close, &QPushButton::clicked, this, &AboutDialog::onCloseClicked);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QString AboutDialog::memoryLine(quint64 physicalMemoryBytes)
{
    if (physicalMemoryBytes == 0)
        return QStringLiteral("<b>Memory (RAM) :</b> Unknown <br>");
    const double gibibytes = std::round(double(physicalMemoryBytes) / double(1ull << 30));
    return QStringLiteral("<b>Memory (RAM) :</b> %1 GB<br>").arg(QString::number(gibibytes, 'g'));
}

void AboutDialog::onCloseClicked(bool checked)
{
    Q_UNUSED(checked)
    close();
}

void AboutDialog::fillSystemInformation()
{
    const QString version = QStringLiteral("v%1").arg(nsUpdater::ApplicationVersion);
    ui->textEdit->append(
        QStringLiteral("<b>Software version :</b> %1 %2<br>").arg(nsUpdater::applicationDisplayName(), version));

    QString productType = QSysInfo::productType();
    if (!productType.isEmpty())
        productType[0] = productType.at(0).toUpper();
    const QString system =
        QStringLiteral("%1 %2 version %3").arg(productType, QSysInfo::productVersion(), QSysInfo::kernelVersion());
    ui->textEdit->append(
        QStringLiteral("<b>System :</b> %1 running on CPU (%2)<br>").arg(system, QSysInfo::currentCpuArchitecture()));

    ui->textEdit->append(memoryLine(nsPlatform::physicalMemoryBytes()));

    ui->textEdit->append(QStringLiteral("<b>Temporary directory :</b> %1<br>")
                             .arg(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)));
}
