#pragma once

#include <QString>
#include <QStringList>

// A network namespace of the test process's own, made before anything else
// runs, so the links and addresses a test adds never reach the host's
// interfaces; the namespace goes with the process.
namespace NetworkSandbox {

// Moves the calling process into a new network namespace. Call it first in
// main(), before any thread exists.
void enter();
// Whether the sandbox stands, its loopback up (asked once the application
// object exists); otherwise why not.
bool isReady();
QString whyNot();

// Runs "ip" with the arguments in the sandbox; false (with the reason in
// error) when it failed.
bool ip(const QStringList& arguments, QString* error = nullptr);
// Runs "ip" in the network namespace of the process pid.
bool ipIn(qint64 pid, const QStringList& arguments, QString* error = nullptr);

} // namespace NetworkSandbox

// QTEST_MAIN with the sandbox entered first.
#define MOVRA_NETWORK_SANDBOX_MAIN(TestObject, Application)                                                            \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        NetworkSandbox::enter();                                                                                       \
        Application app(argc, argv);                                                                                   \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
