#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the program opens the slave by its path as a
// serial port, the simulated device sits on the master. The slave is held
// open here too, so the master never sees a hang-up while the program
// closes and reopens its side.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isValid() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    // The path the program opens, for example /dev/pts/7.
    QString slavePath() const { return m_slavePath; }
    // The line speed the program last set, in baud (0 when unknown).
    int baudRate() const;
    // Closes both sides: the port is gone.
    void close();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
