#pragma once

#include <QCoreApplication>

// The translation context of the update flow's texts written outside the
// widget: its name stays, as the translations are keyed by it.
class VEKUpdaterWidgetTexts
{
    Q_DECLARE_TR_FUNCTIONS(VEKUpdaterWidget)
};
