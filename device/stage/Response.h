#pragma once

#include <QByteArray>

#include <optional>

namespace zaber {
namespace motion {
namespace ascii {

// One reply line of the chain: "@<device> <axis> <flag> <status> <warning> <data>".
class Response
{
public:
    // Anything that is not a well-formed reply (info and alert lines, noise)
    // gives no value.
    static std::optional<Response> parse(const QByteArray& line);

    int deviceAddress() const { return m_deviceAddress; }
    int axisNumber() const { return m_axisNumber; }
    QByteArray replyFlag() const { return m_replyFlag; }
    QByteArray status() const { return m_status; }
    QByteArray warningFlag() const { return m_warningFlag; }
    QByteArray data() const { return m_data; }

    bool isRejected() const { return m_replyFlag == "RJ"; }
    bool isBusy() const { return m_status == "BUSY"; }
    // Warning flags that begin with F are faults: the device stopped or
    // cannot move. Warnings (W) and notices (N) are not failures.
    bool hasFault() const { return m_warningFlag.startsWith('F'); }

    // Raises the library's exception for a refusal or a fault.
    void check(const QByteArray& command) const;

private:
    int m_deviceAddress = -1;
    int m_axisNumber = -1;
    QByteArray m_replyFlag;
    QByteArray m_status;
    QByteArray m_warningFlag;
    QByteArray m_data;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
