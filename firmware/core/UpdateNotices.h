#pragma once

// What the firmware engine has to tell the user. Each notice returns only
// once the user has taken it in, so the engine goes on after it, not
// beside it. The application shows them; an engine given none tells no one
// and otherwise works the same.
class UpdateNotices
{
public:
    virtual ~UpdateNotices() = default;

    // A USB 3 instrument sits on a plain USB port: it gets no version query.
    virtual void wrongPortDetected() = 0;
    // The channels acknowledged records they were never sent; their update
    // has stopped.
    virtual void channelsNotProgrammed() = 0;
};
