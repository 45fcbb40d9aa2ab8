#pragma once

#include "device/MovraDeviceInfo.h"
#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "platform/RowRange.h"

#include <QString>

#include <cstddef>

// Which communicator reads a device's installed versions and which one
// updates it, for every protocol family this build has: one table of rows,
// each a device type (with, where the type needs it, a product id, a name
// or a comm type) and the two factories. A type with no row has no
// communicator, and the updater then leaves the device alone.
//
// A new family is one folder firmware/<family>/ and its rows here: one row
// per device type it serves, or one per case where a type is split by its
// product id, name, comm type or motherboard phase.
class FirmwareFamilyRegistry
{
public:
    // Up to four case-sensitive words. A text holds the list when it
    // contains any of them; every text holds the empty list.
    struct WordList
    {
        static constexpr int MaxWords = 4;
        const char* words[MaxWords] = {};

        bool isEmpty() const { return words[0] == nullptr; }
        bool heldBy(const QString& text) const;
    };

    // The motherboard phase an update row is for; version queries have none.
    enum class Phase {
        Any,
        WithMotherboard,
        WithoutMotherboard,
    };
    static bool phaseHolds(Phase phase, bool motherboardPhase);

    // What a row asks of the device besides its type; each part left unset
    // holds for every device.
    struct Condition
    {
        static constexpr quint16 AnyProductId = 0;

        quint16 productId = AnyProductId;
        WordList nameContainsAny;
        bool anyCommType = true;
        CommType commType = CommType::None;
        // The comm type test then holds for every other comm type.
        bool commTypeExcluded = false;
        Phase phase = Phase::Any;

        constexpr Condition withProductId(quint16 id) const
        {
            Condition c = *this;
            c.productId = id;
            return c;
        }
        template <typename... Words>
        constexpr Condition withNameContainingAny(Words... words) const
        {
            static_assert(sizeof...(Words) >= 1 && sizeof...(Words) <= WordList::MaxWords, "one to four words");
            Condition c = *this;
            const char* given[] = { words... };
            for (std::size_t i = 0; i < sizeof...(Words); ++i)
                c.nameContainsAny.words[i] = given[i];
            return c;
        }
        constexpr Condition onCommType(CommType type) const
        {
            Condition c = *this;
            c.anyCommType = false;
            c.commType = type;
            return c;
        }
        constexpr Condition exceptOnCommType(CommType type) const
        {
            Condition c = onCommType(type);
            c.commTypeExcluded = true;
            return c;
        }
        constexpr Condition inPhase(Phase p) const
        {
            Condition c = *this;
            c.phase = p;
            return c;
        }

        // The device tests (product id, name, comm type).
        bool heldBy(const MovraDeviceInfo& device) const;
        // The phase test, for update lookups.
        bool heldInPhase(bool motherboardPhase) const;
        // No test at all: the row takes every device of its type.
        bool isEveryDevice() const;
    };

    // Makes a communicator with no parent.
    using Factory = AbstractFirmwareCommunicator* (*)();

    struct Row
    {
        int deviceType;
        // Its folder under firmware/.
        const char* family;
        Condition condition;
        // Null: the row takes no part in that lookup.
        Factory versionQuery;
        Factory update;
    };

    using Rows = RowRange<Row>;

    // Every row, in lookup order.
    static Rows rows();

    // The first row of the type whose device tests hold and that has a
    // version-query factory; null when there is none.
    static const Row* versionQueryRow(int deviceType, const MovraDeviceInfo& device);
    // The first row of the type whose device and phase tests hold and that
    // has an update factory; null when there is none.
    static const Row* updateRow(int deviceType, const MovraDeviceInfo& device, bool motherboardPhase);

    // The communicators of those rows, with no parent; null without a row.
    static AbstractFirmwareCommunicator* createVersionQueryCommunicator(int deviceType, const MovraDeviceInfo& device);
    static AbstractFirmwareCommunicator* createUpdateCommunicator(int deviceType, const MovraDeviceInfo& device,
                                                                  bool motherboardPhase);
};
