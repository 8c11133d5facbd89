#include "cli/CProgressLine.h"

#include "cli/BatchReport.h"

#include <string>

namespace
{
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// Carriage return and "erase to the end of the line".
constexpr std::string_view kEraseLine = "\r\033[K";
} // namespace

CProgressLine::CProgressLine(bool enabled, std::size_t total, std::uintmax_t bytesTotal, std::FILE* stream)
    : m_enabled(enabled), m_stream(stream), m_total(total), m_bytesTotal(bytesTotal),
      m_start(std::chrono::steady_clock::now()), m_lastDrawn(m_start - kRedrawInterval)
{
}

void CProgressLine::Advance(std::uintmax_t bytes)
{
    ++m_done;
    m_bytesDone += bytes;
    Refresh();
}

void CProgressLine::Refresh()
{
    if (m_enabled && std::chrono::steady_clock::now() - m_lastDrawn >= kRedrawInterval)
        Draw();
}

void CProgressLine::Print(std::string_view line)
{
    Clear();
    std::fwrite(line.data(), 1, line.size(), m_stream);
    std::fputc('\n', m_stream);
    std::fflush(m_stream);
}

void CProgressLine::Clear()
{
    if (!m_shown)
        return;
    std::fwrite(kEraseLine.data(), 1, kEraseLine.size(), m_stream);
    std::fflush(m_stream);
    m_shown = false;
}

double CProgressLine::Seconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CProgressLine::Draw()
{
    m_lastDrawn = std::chrono::steady_clock::now();
    const std::string line =
        std::string(kEraseLine) + FormatProgress(m_done, m_total, m_bytesDone, m_bytesTotal, Seconds());
    std::fwrite(line.data(), 1, line.size(), m_stream);
    std::fflush(m_stream);
    m_shown = true;
}
