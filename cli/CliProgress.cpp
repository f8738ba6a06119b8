#include "CliProgress.h"

#include <algorithm>
#include <cstdio>

namespace corvane {

namespace {

constexpr std::size_t BarCells = 20;
// Redrawing on every file of a large batch of small files would only flood the terminal.
constexpr auto RedrawInterval = std::chrono::milliseconds(100);
constexpr std::string_view EraseLine = "\r\x1b[K";

} // namespace

std::string FormatProgressLine(std::size_t Done, std::size_t Total, double FilesPerSecond,
                               std::string_view Current, std::size_t Width) {
    std::size_t filled = Total == 0 ? BarCells : std::min(BarCells, Done * BarCells / Total);
    std::string line = "[";
    line.append(filled, '#');
    line.append(BarCells - filled, '.');
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "] %zu/%zu  %.1f files/s", Done, Total, FilesPerSecond);
    line += numbers;
    if (!Current.empty() && line.size() + 2 < Width) {
        std::size_t room = Width - line.size() - 2;
        line += "  ";
        if (Current.size() > room) {
            // The end of a path names the file; keep that.
            if (room <= 3) return line.substr(0, Width);
            line += "...";
            line += Current.substr(Current.size() - (room - 3));
        } else {
            line += Current;
        }
    }
    if (line.size() > Width) line.resize(Width);
    return line;
}

TProgressBar::TProgressBar(std::size_t Total, std::size_t Width)
    : FTotal(Total), FWidth(Width), FStart(TClock::now()) {}

std::string TProgressBar::Started(std::string_view Name) {
    FCurrent = Name;
    return Draw(false);
}

std::string TProgressBar::Finished(std::string_view Messages) {
    ++FDone;
    if (Messages.empty()) return Draw(FDone == FTotal);
    std::string text = FDrawn ? std::string(EraseLine) : std::string();
    text += Messages;
    return text + Draw(true);
}

std::string TProgressBar::Close() {
    if (!FDrawn) return {};
    FCurrent.clear();
    return Draw(true) + "\n";
}

std::string TProgressBar::Draw(bool Force) {
    TClock::time_point now = TClock::now();
    if (!Force && FDrawn && now - FLastDraw < RedrawInterval) return {};
    FLastDraw = now;
    FDrawn = true;
    double seconds = std::chrono::duration<double>(now - FStart).count();
    double rate = seconds > 0 ? static_cast<double>(FDone) / seconds : 0.0;
    // One column stays free: a line that fills the terminal exactly wraps on some terminals.
    std::size_t width = FWidth > 1 ? FWidth - 1 : FWidth;
    return std::string(EraseLine) + FormatProgressLine(FDone, FTotal, rate, FCurrent, width);
}

} // namespace corvane
