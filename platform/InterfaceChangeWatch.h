#pragma once

// Tells whether the computer's network interfaces, their running state or
// their IPv4 addresses may have changed since the last look, from the
// kernel's routing notices, so that a look at unchanged interfaces can be
// skipped. Where no notices can be had, every look counts as changed.
class InterfaceChangeWatch
{
public:
    InterfaceChangeWatch();
    ~InterfaceChangeWatch();

    InterfaceChangeWatch(const InterfaceChangeWatch&) = delete;
    InterfaceChangeWatch& operator=(const InterfaceChangeWatch&) = delete;

    // True at the first call and whenever a notice came since the last one.
    bool changedSinceLastLook();

private:
    int m_socket = -1;
    bool m_hasLooked = false;
};
