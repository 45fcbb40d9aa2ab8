#pragma once

#include <QString>

// Moves this process into a network namespace of its own, where only the
// loopback interface exists, so that camera discovery reaches nothing
// outside the machine. Must run before any thread starts. Gives the reason
// when it cannot be done, else an empty text.
QString enterPrivateNetwork();
