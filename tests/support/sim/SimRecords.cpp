#include "tests/support/sim/SimRecords.h"

namespace sim {

bool parseRecords(const QByteArray& bytes, QList<Record>* records)
{
    QList<Record> parsed;
    int at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 5)
            return false;
        const int count = quint8(bytes.at(at));
        if (bytes.size() - at < count + 5)
            return false;
        quint8 sum = 0;
        for (int i = 0; i < count + 5; ++i)
            sum = quint8(sum + quint8(bytes.at(at + i)));
        if (sum != 0)
            return false;
        parsed.append({ quint8(bytes.at(at + 3)), quint16((quint8(bytes.at(at + 1)) << 8) | quint8(bytes.at(at + 2))),
                        bytes.mid(at + 4, count) });
        at += count + 5;
    }
    if (parsed.isEmpty())
        return false;
    *records = parsed;
    return true;
}

} // namespace sim
