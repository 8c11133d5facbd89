#include "cli/BatchReport.h"

#include "cli/DocumentReporter.h"

#include <cstdio>

namespace
{
std::string Clock(double seconds)
{
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Length of the UTF-8 sequence at the start of text, 0 when it is none (overlong forms, surrogates
// and code points above U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07;
    else
        return 0;
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}
} // namespace

void BatchTotals::Add(const DocumentResult& result)
{
    ++documents;
    withRemarks += result.remarks.empty() ? 0 : 1;
    switch (result.outcome)
    {
    case DocumentOutcome::Processed:
        ++processed;
        unchanged += result.changed ? 0 : 1;
        entries += result.entries;
        withoutEntries += result.entries == 0 ? 1 : 0;
        break;
    case DocumentOutcome::Refused:
        ++refused;
        break;
    case DocumentOutcome::Failed:
        ++failed;
        break;
    case DocumentOutcome::Skipped:
        ++skipped;
        break;
    }
}

std::string FormatProgress(std::size_t done, std::size_t total, std::uintmax_t bytesDone,
                           std::uintmax_t bytesTotal, double seconds)
{
    const std::string totalText = std::to_string(total);
    std::string doneText = std::to_string(done);
    doneText.insert(0, totalText.size() - std::min(totalText.size(), doneText.size()), ' ');
    const double share =
        bytesTotal > 0 ? 100.0 * static_cast<double>(bytesDone) / static_cast<double>(bytesTotal)
                       : (total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0);
    const double rate = seconds > 0 ? static_cast<double>(bytesDone) / seconds : 0;
    std::string eta = "-";
    if (bytesDone > 0 && rate > 0)
        eta = Clock(static_cast<double>(bytesTotal - std::min(bytesTotal, bytesDone)) / rate);
    return "[" + doneText + "/" + totalText + "] " + Fixed(share, 0) + "%  " + Fixed(rate / 1e6, 1) +
           " MB/s  elapsed " + Clock(seconds) + "  ETA " + eta;
}

std::string FormatSummary(const BatchTotals& totals, std::size_t named, bool check, double seconds,
                          bool extended)
{
    std::string text =
        "tirvel-toc: " + std::to_string(totals.documents) +
        (totals.documents == 1 ? " document: " : " documents: ") + std::to_string(totals.processed) +
        (check ? " would be processed (" : " processed (") + std::to_string(totals.unchanged) +
        " unchanged), " + std::to_string(totals.refused) + " refused, " + std::to_string(totals.failed) +
        " failed" +
        (totals.skipped > 0 ? ", " + std::to_string(totals.skipped) + " skipped" : std::string()) + "; " +
        std::to_string(totals.entries) + " entries; " + Fixed(seconds, 1) + " s";
    if (totals.withoutEntries > 0)
        text += "; " + std::to_string(totals.withoutEntries) + " without entries" +
                (extended ? "" : " (try --extended)");
    if (totals.withRemarks > 0)
        text += "; " + std::to_string(totals.withRemarks) + " with remarks";
    if (named > totals.documents)
        text += "; interrupted, " + std::to_string(named - totals.documents) + " not processed";
    return text;
}

std::string RemarkLines(const std::string& path, const DocumentResult& result)
{
    std::string lines;
    for (const DocumentRemark& remark : result.remarks)
        lines += PrintableText(path) + ":" + std::to_string(remark.line) + ": " + PrintableText(remark.text) +
                 "\n";
    return lines;
}

std::string_view StatusName(DocumentOutcome outcome)
{
    switch (outcome)
    {
    case DocumentOutcome::Processed:
        return "processed";
    case DocumentOutcome::Refused:
        return "refused";
    case DocumentOutcome::Skipped:
        return "skipped";
    case DocumentOutcome::Failed:
        break;
    }
    return "failed";
}

std::string ErrorText(const DocumentResult& result)
{
    static constexpr std::string_view prefix = "tirvel-toc: ";
    std::string text;
    for (const std::string& message : result.messages)
    {
        if (!text.empty())
            text += '\n';
        text += message.starts_with(prefix) ? message.substr(prefix.size()) : message;
    }
    return text;
}

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    while (!text.empty())
    {
        const unsigned char c = static_cast<unsigned char>(text.front());
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0)
        {
            json += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\')
            json += {'\\', static_cast<char>(c)};
        else if (c == '\n')
            json += "\\n";
        else if (c == '\t')
            json += "\\t";
        else if (c == '\r')
            json += "\\r";
        else if (c < 0x20 || c == 0x7F)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        }
        else
            json.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return json + "\"";
}

std::string JsonReport(const std::vector<ReportedDocument>& documents, const BatchTotals& totals,
                       std::size_t named, bool check, double seconds, bool extended)
{
    std::string json = "{\n";
    json += "  \"tool\": \"tirvel-toc\",\n";
    json += "  \"version\": " + JsonString(TIRVEL_VERSION) + ",\n";
    json += std::string("  \"check\": ") + (check ? "true" : "false") + ",\n";
    json += std::string("  \"extended\": ") + (extended ? "true" : "false") + ",\n";
    json += "  \"seconds\": " + Fixed(seconds, 3) + ",\n";
    json += "  \"summary\": {\"named\": " + std::to_string(named) +
            ", \"documents\": " + std::to_string(totals.documents) +
            ", \"processed\": " + std::to_string(totals.processed) +
            ", \"unchanged\": " + std::to_string(totals.unchanged) +
            ", \"refused\": " + std::to_string(totals.refused) +
            ", \"failed\": " + std::to_string(totals.failed) +
            ", \"skipped\": " + std::to_string(totals.skipped) +
            ", \"entries\": " + std::to_string(totals.entries) +
            ", \"without_entries\": " + std::to_string(totals.withoutEntries) +
            ", \"with_remarks\": " + std::to_string(totals.withRemarks) + "},\n";
    json += "  \"documents\": [";
    for (std::size_t i = 0; i < documents.size(); ++i)
    {
        const DocumentResult& result = documents[i].result;
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"path\": " + JsonString(documents[i].path) + ", \"status\": \"" +
                std::string(StatusName(result.outcome)) +
                "\", \"changed\": " + (result.changed ? "true" : "false") +
                ", \"bytes_after_end\": " + std::to_string(result.bytesAfterEnd) +
                ", \"entries\": " + std::to_string(result.entries) + ", \"entries_per_level\": {";
        bool first = true;
        for (const auto& [level, count] : result.entriesPerLevel)
        {
            json += (first ? "\"" : ", \"") + std::to_string(level) + "\": " + std::to_string(count);
            first = false;
        }
        json += "}, \"remarks\": [";
        for (std::size_t r = 0; r < result.remarks.size(); ++r)
        {
            const DocumentRemark& remark = result.remarks[r];
            json += (r == 0 ? "{\"line\": " : ", {\"line\": ") + std::to_string(remark.line) +
                    ", \"kind\": " + JsonString(remark.kind) + ", \"text\": " + JsonString(remark.text) + "}";
        }
        json += "], \"error\": " + JsonString(ErrorText(result)) +
                ", \"milliseconds\": " + Fixed(result.milliseconds, 1) + "}";
    }
    json += documents.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}
