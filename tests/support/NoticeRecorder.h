#pragma once

#include "firmware/core/UpdateNotices.h"

#include <QStringList>

#include <functional>

// Stands for the user in tests of the firmware engine alone: writes down
// each notice ("wrong port", "channels not programmed") and, while the
// notice is still being read, runs whileShown: what happens then happens
// while the user has it in front of them.
class NoticeRecorder : public UpdateNotices
{
public:
    void wrongPortDetected() override { note(QStringLiteral("wrong port")); }
    void channelsNotProgrammed() override { note(QStringLiteral("channels not programmed")); }

    QStringList told;
    std::function<void()> whileShown;

private:
    void note(const QString& notice)
    {
        told.append(notice);
        if (whileShown)
            whileShown();
    }
};
