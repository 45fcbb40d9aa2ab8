#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

#include <QList>

// What the motherboards, the pulse generators and the light-source channels
// do alike beyond the base: their application commands come from a table
// of the codes the device takes, and the motherboards' and pulse
// generators' updates begin with a reset into the bootloader.
class MotherboardFamilyCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    // An application command the device takes: its code and the bytes that
    // follow the code and 0x00.
    struct CommandRow
    {
        char code;
        QByteArray extra;
    };

    // Opens the HEX file, then command 112 and the reset into the
    // bootloader: 2 when the installed bootloader is blank, else 6. False,
    // with nothing sent, when the file is refused.
    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    // Sends the command when the table holds its code; other codes send
    // nothing.
    void sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;

protected:
    // notAvailableIsBlank: an installed bootloader read as "N/A" counts as
    // blank too.
    MotherboardFamilyCommunicator(const QList<CommandRow>& commands, QObject* parent, bool notAvailableIsBlank = false);

private:
    QList<CommandRow> m_commands;
    bool m_notAvailableIsBlank;
};
