#pragma once

#include "app/installed/PluginFolders.h"

#include <QObject>
#include <QString>

// Reads the installed versions of the maker's sibling programs from the
// version resources of their executables at their fixed install paths.
//
// A program whose executable carries no readable version resource is not
// installed: its version is the missing-version marker. One whose resource
// lacks the fixed file information is installed with an empty version.
class InstalledSoftwareReader : public QObject
{
    Q_OBJECT

public:
    // installationRoot holds the maker's programs ("C:/Program Files/Movrane").
    explicit InstalledSoftwareReader(const QString& installationRoot = nsUpdater::installationRoot(),
                                     QObject* parent = nullptr);

    QString acquisitionSoftwarePath() const;
    // The older acquisition program, read when the current one gives nothing.
    QString olderAcquisitionSoftwarePath() const;
    QString memoryManagerPath() const;
    QString analysisSoftwarePath() const;

    // Each gives the installed version text and sets *installed.
    QString readInstalledAcquisitionSoftwareVersion(bool* installed) const;
    QString readInstalledMemoryManagerVersion(bool* installed) const;
    QString readInstalledAnalysisSoftwareVersion(bool* installed) const;

private:
    QString readVersion(const QStringList& paths, bool* installed) const;

    QString m_root;
};
