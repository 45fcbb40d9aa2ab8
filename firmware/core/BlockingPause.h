#pragma once

// The fixed pauses some devices need between two commands. They block the
// calling thread, as those devices ask; tests and the fuzz target shorten
// them all at once.
class BlockingPause
{
public:
    static void wait(int ms);
    // For tests: every pause lasts at most ms from now on; a value below 0
    // gives the pauses their full length again.
    static void limitForTests(int ms);
};
