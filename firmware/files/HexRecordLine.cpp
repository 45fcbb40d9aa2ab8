#include "firmware/files/HexRecordLine.h"

HexRecordLine::Fault HexRecordLine::parse(const char* text, qsizetype length)
{
    if (length < 1 || text[0] != ':')
        return Fault::NotARecord;
    const char* digits = text + 1;
    const qsizetype digitCount = length - 1;
    // Every digit is checked before the length is, as the faults rank.
    const qsizetype pairs = digitCount / 2;
    qsizetype i = 0;
    for (; i + 1 < digitCount; i += 2) {
        const int high = digitValue(digits[i]);
        const int low = digitValue(digits[i + 1]);
        if (high < 0 || low < 0)
            return Fault::NotAHexDigit;
        if (i / 2 < MaxBytes)
            m_bytes[i / 2] = uchar((high << 4) | low);
    }
    if (i < digitCount) {
        if (digitValue(digits[i]) < 0)
            return Fault::NotAHexDigit;
        return Fault::OddDigitCount;
    }
    if (pairs < 5)
        return Fault::TooShort;
    if (pairs != qsizetype(count()) + 5)
        return Fault::CountDisagrees;
    uchar sum = 0;
    for (qsizetype b = 0; b < pairs; ++b)
        sum = uchar(sum + m_bytes[b]);
    if (sum != 0)
        return Fault::BadChecksum;
    if ((type() == 2 || type() == 4) && count() != 2)
        return Fault::AddressRecordSize;
    return Fault::None;
}
