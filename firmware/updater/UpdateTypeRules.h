#pragma once

#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "platform/RowRange.h"

#include <QString>

// The type adjustment of an update: the first rule whose type, phase and
// file-name words hold decides.
struct UpdateTypeRule
{
    static constexpr int AnyType = -1;
    static constexpr int SameType = -1;

    int fromType; // AnyType: every type
    FirmwareFamilyRegistry::Phase phase;
    FirmwareFamilyRegistry::WordList fileNameContainsAny; // case-sensitive; empty: every file
    int toType;                                           // SameType: the type stays

    bool heldBy(int type, const QString& filePath, bool motherboardPhase) const;
};

class UpdateTypeRules
{
public:
    // Every rule, in lookup order.
    static RowRange<UpdateTypeRule> rows();
    // The type an update of the type runs with, from the file name and the phase.
    static int adjustedType(int type, const QString& filePath, bool motherboardPhase);
};
