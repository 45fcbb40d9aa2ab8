#pragma once

#include "firmware/updater/FirmwareFamilyRegistry.h"

#include <QList>

// The registry's communicator factories, each once, in row order (a row's
// version query, then its update), with the folder of the row that first
// names each: the order in which the communicator fuzz target numbers them.
struct RegistryFactory
{
    FirmwareFamilyRegistry::Factory factory;
    const char* family;
};

inline QList<RegistryFactory> registryFactories()
{
    QList<RegistryFactory> found;
    for (const auto& row : FirmwareFamilyRegistry::rows()) {
        for (FirmwareFamilyRegistry::Factory factory : { row.versionQuery, row.update }) {
            bool known = !factory;
            for (const RegistryFactory& f : found)
                known = known || f.factory == factory;
            if (!known)
                found.append({ factory, row.family });
        }
    }
    return found;
}
