// The floor of the idle figure: a thread that only wakes every 1.5 s, as
// each transport's poll does, and does nothing. What it costs is what this
// machine charges for a wake-up alone.
#include <chrono>
#include <thread>

int main()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}
