#include "app/updater/PaneDocuments.h"
#include "app/updater/UpdaterWidgetTexts.h"
#include "ui_UpdaterWidgetUi.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTextBrowser>

#include <iterator>

namespace {

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
                    + caption(UpdaterWidgetTexts::tr("Website")) + markerLine(2));
}

// In the order of PaneWord.
const char* const PaneWords[] = {
    QT_TRANSLATE_NOOP("UpdaterWidget", "Bootloader Version"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Motherboard Version"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Firmware Version"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Camera Informations Version"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Installed"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Available"),
    QT_TRANSLATE_NOOP("UpdaterWidget", "Serial Number"),
};
static_assert(std::size(PaneWords) == std::size_t(PaneWord::SerialNumber) + 1, "one text per PaneWord");

} // namespace

QString paneWord(PaneWord word)
{
    return UpdaterWidgetTexts::tr(PaneWords[int(word)]);
}

void setInitialPaneDocuments(Ui::UpdaterWidget& form)
{
    const QStringList installedAvailable { paneWord(PaneWord::Installed), paneWord(PaneWord::Available) };
    form.textBrowser_deviceBoot->setHtml(
        versionDocument(paneWord(PaneWord::BootloaderHeading), { paneWord(PaneWord::Installed) }));
    form.textBrowser_deviceMB->setHtml(versionDocument(paneWord(PaneWord::MotherboardHeading), installedAvailable));
    form.textBrowser_deviceChannel->setHtml(
        versionDocument(UpdaterWidgetTexts::tr("Channel(s) Version"), installedAvailable));
    form.textBrowser_deviceDesc->setHtml(descriptionDocument(UpdaterWidgetTexts::tr("Device Description")));

    form.textBrowser_pluginVersion->setHtml(
        versionDocument(UpdaterWidgetTexts::tr("Plugin Version"), installedAvailable));
    form.textBrowser_pluginDesc->setHtml(descriptionDocument(UpdaterWidgetTexts::tr("Plugin Description")));

    form.textBrowser_softwareVersion->setHtml(versionDocument(
        UpdaterWidgetTexts::tr("Software Version"),
        { paneWord(PaneWord::Installed), UpdaterWidgetTexts::tr("Stable"), UpdaterWidgetTexts::tr("Beta") }));
    form.textBrowser_softwareDesc->setHtml(descriptionDocument(UpdaterWidgetTexts::tr("Software Description")));
}
