#include "firmware/updater/UpdateTypeRules.h"

#include <iterator>

namespace {

using namespace nsUpdater;
using Phase = FirmwareFamilyRegistry::Phase;
constexpr int AnyType = UpdateTypeRule::AnyType;
constexpr int SameType = UpdateTypeRule::SameType;

const UpdateTypeRule Table[] = {
    // The USB 3 microscopes and the TV720 keep their type in both phases.
    { GQZ3, Phase::Any, {}, SameType },
    { GQZ3KAVOR, Phase::Any, {}, SameType },
    { TV720, Phase::Any, {}, SameType },
    // The Sarvanti kinds by the part their file is for.
    { Sarvanti, Phase::Any, { { "Motor", "Disk" } }, AssistedRotaryJoint },
    { Sarvanti, Phase::Any, {}, HKTR },
    { SarvantiGen2, Phase::Any, { { "Disk" } }, AssistedRotaryJoint },
    { SarvantiGen2, Phase::Any, {}, KZR410 },
    // Without the motherboard phase: a motherboard's or a memory manager's
    // channel file goes to its channels.
    { Motherboard,
      Phase::WithoutMotherboard,
      { { "Channel", "LS_Default", "LS_Embedded", "Dual_Color" } },
      LightSource },
    { Motherboard, Phase::WithoutMotherboard, { { "KAVOR" } }, KAVOR },
    { EEPROMMemoryManager, Phase::WithoutMotherboard, {}, LightSource },
    { Motherboard, Phase::WithoutMotherboard, { { "QWM" } }, Channels },
    { Motherboard, Phase::WithoutMotherboard, { { "TRZ" } }, Channels },
    { Channels, Phase::WithoutMotherboard, { { "Microscope" } }, GQZ },
    { AnyType, Phase::WithoutMotherboard, {}, SameType },
    // With it, every other type updates its motherboard.
    { AnyType, Phase::WithMotherboard, {}, Motherboard },
};

} // namespace

bool UpdateTypeRule::heldBy(int type, const QString& filePath, bool motherboardPhase) const
{
    return (fromType == AnyType || fromType == type) && FirmwareFamilyRegistry::phaseHolds(phase, motherboardPhase)
           && fileNameContainsAny.heldBy(filePath);
}

RowRange<UpdateTypeRule> UpdateTypeRules::rows()
{
    return { std::begin(Table), std::end(Table) };
}

int UpdateTypeRules::adjustedType(int type, const QString& filePath, bool motherboardPhase)
{
    for (const UpdateTypeRule& rule : Table) {
        if (rule.heldBy(type, filePath, motherboardPhase))
            return rule.toType == SameType ? type : rule.toType;
    }
    return type;
}
