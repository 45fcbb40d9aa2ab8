#pragma once

#include <QByteArray>

// Reproducible filler bytes for firmware images (xorshift32 of the seed).
QByteArray pseudoRandomBytes(int count, quint32 seed);
