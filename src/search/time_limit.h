#pragma once

// Whole seconds of the C library clock.
long long currentSeconds();

// The time limit of -l over one search, counted from when it is made.
class TimeLimit {
public:
    // Negative seconds: no limit.
    explicit TimeLimit(int seconds) : start(currentSeconds()), seconds(seconds) {}

    // True once the seconds have passed (never without a limit); then also
    // logs "Time limit exceeded, ending...".
    bool reached() const;

private:
    long long start;
    int seconds;
};
