#include "firmware/core/ApplicationCommand.h"

namespace nsFirmware {

namespace {
constexpr int ApplicationCommandSize = 64;
}

QByteArray applicationCommand(char code, const QByteArray& extra)
{
    QByteArray command(ApplicationCommandSize, char(0xFF));
    command[0] = code;
    command[1] = 0x00;
    command.replace(2, extra.size(), extra);
    return command;
}

} // namespace nsFirmware
