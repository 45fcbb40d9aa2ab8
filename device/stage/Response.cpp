#include "device/stage/Response.h"

#include "device/stage/MotionLibException.h"

#include <QList>

namespace zaber {
namespace motion {
namespace ascii {

std::optional<Response> Response::parse(const QByteArray& line)
{
    QByteArray text = line.trimmed();
    if (!text.startsWith('@'))
        return std::nullopt;
    // A checksum, when the device adds one, follows a colon.
    const int colon = text.lastIndexOf(':');
    if (colon > 0)
        text.truncate(colon);
    const QList<QByteArray> fields = text.mid(1).simplified().split(' ');
    if (fields.size() < 5)
        return std::nullopt;
    Response response;
    bool deviceOk = false;
    bool axisOk = false;
    response.m_deviceAddress = fields.at(0).toInt(&deviceOk);
    response.m_axisNumber = fields.at(1).toInt(&axisOk);
    if (!deviceOk || !axisOk)
        return std::nullopt;
    // A message id may sit between the axis and the flag.
    int next = 2;
    if (fields.at(next) != "OK" && fields.at(next) != "RJ")
        ++next;
    if (fields.size() < next + 3)
        return std::nullopt;
    response.m_replyFlag = fields.at(next);
    if (response.m_replyFlag != "OK" && response.m_replyFlag != "RJ")
        return std::nullopt;
    response.m_status = fields.at(next + 1);
    response.m_warningFlag = fields.at(next + 2);
    response.m_data = fields.mid(next + 3).join(' ');
    return response;
}

void Response::check(const QByteArray& command) const
{
    const QString target = QStringLiteral("device %1 axis %2").arg(m_deviceAddress).arg(m_axisNumber);
    if (isRejected()) {
        throw MotionLibException(QStringLiteral("%1 refused \"%2\": %3")
                                     .arg(target, QString::fromLatin1(command), QString::fromLatin1(m_data)));
    }
    if (hasFault()) {
        throw MotionLibException(QStringLiteral("%1 reports fault %2 after \"%3\"")
                                     .arg(target, QString::fromLatin1(m_warningFlag), QString::fromLatin1(command)));
    }
}

} // namespace ascii
} // namespace motion
} // namespace zaber
