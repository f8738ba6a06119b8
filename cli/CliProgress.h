// The progress bar of a batch run: one line on a terminal, redrawn in place.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// One line of at most Width columns (without the carriage return and erase that redraw it):
// "[#####.....] 12/100  34.5 files/s  name.rtf". The file name loses its beginning when it does not fit.
std::string FormatProgressLine(std::size_t Done, std::size_t Total, double FilesPerSecond,
                               std::string_view Current, std::size_t Width);

// Keeps the counts and decides when a redraw is due; the caller writes the text it returns.
// Not thread-safe: the batch runner calls it under its output lock.
class TProgressBar {
public:
    using TClock = std::chrono::steady_clock;

    TProgressBar(std::size_t Total, std::size_t Width);

    // Each returns the text to write to the terminal: empty when nothing is to be written yet.
    std::string Started(std::string_view Name);
    // Counts a finished file. Messages (whole lines) are written where the bar was, and the bar below them.
    std::string Finished(std::string_view Messages);
    // The last state, ended by a line break.
    std::string Close();

private:
    std::string Draw(bool Force);

    std::size_t FTotal;
    std::size_t FWidth;
    std::size_t FDone = 0;
    std::string FCurrent;
    TClock::time_point FStart;
    TClock::time_point FLastDraw;
    bool FDrawn = false;
};

} // namespace corvane
