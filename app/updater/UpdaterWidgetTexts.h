#pragma once

#include <QCoreApplication>

// The translation context of the updater pane's texts written outside the
// widget: its name stays, as the translations are keyed by it.
class UpdaterWidgetTexts
{
    Q_DECLARE_TR_FUNCTIONS(UpdaterWidget)
};
