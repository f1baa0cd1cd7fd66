// Opening the help pages in the user's browser.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// The file: URL of a help page ("file.htm#anchor"), or empty when the page is nowhere to be
// found. The file is looked for in the help folder relative to the program's own.
std::string HelpPageUrl(const std::string& target);

// Hands help pages to xdg-open without ever waiting on it, so the game plays on while a
// browser starts. The event loop calls Poll() on every round, and while Watching() wakes at
// least every kPollMs to do so. What can be known to have gone wrong comes back as a message
// for the player: no page, no xdg-open, or xdg-open ending with an error (it found no browser,
// or the browser refused to start) within kWatch of the start.
class HelpPages {
public:
    static constexpr int kPollMs = 100;
    static constexpr std::chrono::seconds kWatch{5};

    // False with the message when xdg-open cannot even be started.
    bool Open(const char* target, std::string* message);
    // Collects the xdg-open runs that ended; true with the message when one of them failed
    // within its watch. Never blocks.
    bool Poll(std::string* message);
    [[nodiscard]] bool Watching() const;

private:
    struct Run {
        pid_t pid;
        std::string path;  // the page, for the message
        std::chrono::steady_clock::time_point watchedUntil;
    };
    // Runs are kept until they end, so none is left a zombie; only the young ones are watched.
    std::vector<Run> m_runs;
};
