#pragma once

#include <QtGlobal>

#include <array>

namespace hexdigits {
constexpr std::array<qint8, 256> makeValues()
{
    std::array<qint8, 256> values {};
    for (int c = 0; c < 256; ++c)
        values[size_t(c)] = -1;
    for (int c = '0'; c <= '9'; ++c)
        values[size_t(c)] = qint8(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        values[size_t(c)] = qint8(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        values[size_t(c)] = qint8(c - 'a' + 10);
    return values;
}
inline constexpr std::array<qint8, 256> Values = makeValues();
} // namespace hexdigits

// One record of a HEX or MCS line, decoded in place: no allocation, so a
// 5 MiB file of short lines reads at the speed of memory.
class HexRecordLine
{
public:
    enum class Fault {
        None,
        NotARecord,
        NotAHexDigit,
        OddDigitCount,
        TooShort,
        CountDisagrees,
        BadChecksum,
        AddressRecordSize,
    };

    // The most bytes a record can hold: count, address, type, 255 data
    // bytes, checksum.
    static constexpr int MaxBytes = 260;

    // The value of a hexadecimal digit, -1 for any other character.
    static int digitValue(char c) { return hexdigits::Values[uchar(c)]; }

    // text is one line without its line end, the ':' included.
    Fault parse(const char* text, qsizetype length);

    quint8 count() const { return m_bytes[0]; }
    quint16 address() const { return quint16((m_bytes[1] << 8) | m_bytes[2]); }
    quint8 type() const { return m_bytes[3]; }
    const uchar* data() const { return m_bytes + 4; }
    // The two data bytes of an address record as one number.
    quint32 addressValue() const { return quint32((m_bytes[4] << 8) | m_bytes[5]); }

private:
    uchar m_bytes[MaxBytes] = {};
};
