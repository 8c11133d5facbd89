#pragma once
// The progress line of the batch tool: one line on standard error, redrawn in place, for a person
// watching a terminal. It draws nothing when disabled (standard error is no terminal, or -q).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

class CProgressLine
{
public:
    CProgressLine(bool enabled, std::size_t total, std::uintmax_t bytesTotal, std::FILE* stream = stderr);

    // Counts one more document of the given size; redraws at most ten times a second.
    void Advance(std::uintmax_t bytes);
    // Redraws when a tenth of a second has passed since the last drawing, so the clock moves on
    // while a large document is processed.
    void Refresh();
    // Writes a line of text above the progress line, which is drawn again at the next refresh.
    void Print(std::string_view line);
    // Removes the line, leaving the cursor at the start of an empty line.
    void Clear();
    double Seconds() const;

private:
    void Draw();

    bool m_enabled;
    std::FILE* m_stream;
    std::size_t m_total;
    std::uintmax_t m_bytesTotal;
    std::size_t m_done = 0;
    std::uintmax_t m_bytesDone = 0;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDrawn;
};
