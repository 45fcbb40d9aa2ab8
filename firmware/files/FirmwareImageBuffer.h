#pragma once

#include <QtGlobal>

// The image a kind of reader builds its CRC from. Where the file places no
// data the image must read as the device's erased flash (its blank bytes),
// since the device's CRC covers those gaps too: so every image is built on a
// blank one. The buffer remembers which bytes were written since it was last
// blank, and blanking it again touches only those, not its 5 MiB.
class FirmwareImageBuffer
{
public:
    // The blank value of the byte at an index.
    using BlankByte = uchar (*)(qint64 index);

    // bytes is the kind's own storage, which stays with it; it counts as
    // written all over until the first blank().
    constexpr FirmwareImageBuffer(uchar* bytes, qint64 size, BlankByte blankByte)
        : m_bytes(bytes)
        , m_size(size)
        , m_blankByte(blankByte)
        , m_writtenEnd(size)
    {
    }

    uchar* bytes() const { return m_bytes; }
    // Every byte blank again.
    void blank();
    // count bytes from offset were written (clipped to the buffer).
    void written(qint64 offset, qint64 count);

private:
    uchar* m_bytes;
    qint64 m_size;
    BlankByte m_blankByte;
    // What may differ from blank: [m_writtenBegin, m_writtenEnd).
    qint64 m_writtenBegin = 0;
    qint64 m_writtenEnd;
};
