#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// The gadget program serving one simulated instrument on a UDC of the
// guest's dummy controller, as a child process of the test.
class KernelGadget
{
public:
    // kind: "rotary-joint" or "usb3"; name: the configfs gadget's; options:
    // what the gadget program takes after them.
    KernelGadget(const QString& kind, const QString& name, const QString& udc,
                 const QStringList& options = QStringList());
    ~KernelGadget();

    // Started and bound; error() says why not.
    bool start();
    QString error() const { return m_error; }
    // Unbinds the gadget behind the gadget program's back: the cable pulled.
    bool pull();
    // The instrument's state now, read from the gadget program.
    QMap<QString, qint64> state();
    QByteArray flash() const;

    // The path of the gadget program, given to the test by the runner.
    static QString program();

private:
    QString m_kind;
    QString m_name;
    QString m_udc;
    QStringList m_options;
    QString m_statePath;
    QString m_error;
    QProcess m_process;
};
