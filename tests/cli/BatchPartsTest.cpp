// The parts of the batch tool that the command line cannot show well: delivery in order from several
// threads, the progress line's figures and the report's JSON strings.

#include "cli/BatchReport.h"
#include "cli/RunInOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace
{
TEST(RunInOrder, DeliversEveryResultInOrderWithABoundedNumberWaiting)
{
    for (const auto& [threads, ahead] : {std::pair{1u, 1u}, {2u, 1u}, {4u, 3u}, {8u, 100u}})
    {
        const std::size_t count = 60;
        std::mutex mutex;
        std::set<std::size_t> started;
        std::size_t deliveredSoFar = 0;
        std::size_t mostAhead = 0;
        std::vector<std::size_t> order;
        std::atomic<bool> stop{false};
        RunInOrder(
            count, threads, ahead,
            [&](std::size_t index)
            {
                {
                    const std::lock_guard lock(mutex);
                    started.insert(index);
                    mostAhead = std::max(mostAhead, index + 1 - deliveredSoFar);
                }
                // Early documents take longest, so later ones finish first and have to wait.
                std::this_thread::sleep_for(std::chrono::microseconds((count - index) * 30));
                DocumentResult result;
                result.entries = index;
                return result;
            },
            [&](std::size_t index, DocumentResult&& result)
            {
                EXPECT_EQ(result.entries, index);
                order.push_back(index);
                const std::lock_guard lock(mutex);
                deliveredSoFar = index + 1;
            },
            [] {}, stop);
        ASSERT_EQ(order.size(), count) << threads;
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(order[i], i);
        // The runner makes room just before it calls deliver, so one more may start before this test
        // counts the delivery.
        EXPECT_LE(mostAhead, std::size_t{ahead} + 1) << threads << " threads, " << ahead << " ahead";
        EXPECT_EQ(started.size(), count);
    }
}

TEST(RunInOrder, StartsInThePreferredOrderAndStillDeliversInOrder)
{
    const std::size_t count = 40;
    std::vector<std::size_t> preferred;
    for (std::size_t i = count; i-- > 0;)
        preferred.push_back(i);
    // One thread with no bound follows the preference exactly; a tight bound on the results held
    // must not stall a preference that runs against it.
    for (const auto& [threads, ahead] : {std::pair{1u, count}, {2u, count}, {2u, std::size_t{3}}})
    {
        std::mutex mutex;
        std::vector<std::size_t> started;
        std::vector<std::size_t> delivered;
        std::atomic<bool> stop{false};
        const std::size_t handedOn = RunInOrder(
            count, threads, ahead,
            [&](std::size_t index)
            {
                const std::lock_guard lock(mutex);
                started.push_back(index);
                return DocumentResult{};
            },
            [&](std::size_t index, DocumentResult&&) { delivered.push_back(index); }, [] {}, stop, preferred);
        EXPECT_EQ(handedOn, count);
        ASSERT_EQ(delivered.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(delivered[i], i);
        EXPECT_EQ(std::set<std::size_t>(started.begin(), started.end()).size(), count);
        if (threads == 1 && ahead == count)
        {
            EXPECT_EQ(started, preferred);
        }
    }
}

TEST(RunInOrder, AfterStopNothingNewStartsAndWhatRunsIsDelivered)
{
    // Started from the end, the documents that ran are no run from the first: they are delivered all
    // the same, in order.
    std::vector<std::size_t> fromTheEnd;
    for (std::size_t i = 1000; i-- > 0;)
        fromTheEnd.push_back(i);
    for (const bool preferred : {false, true})
    {
        std::atomic<bool> stop{false};
        std::atomic<std::size_t> started{0};
        std::vector<std::size_t> delivered;
        const std::size_t count = RunInOrder(
            1000, 2, 1000,
            [&](std::size_t index)
            {
                if (++started == 5)
                    stop = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                DocumentResult result;
                result.entries = index;
                return result;
            },
            [&](std::size_t index, DocumentResult&&) { delivered.push_back(index); }, [] {}, stop,
            preferred ? std::span<const std::size_t>(fromTheEnd) : std::span<const std::size_t>());
        EXPECT_EQ(count, started.load());
        EXPECT_LE(count, 6u);
        EXPECT_EQ(delivered.size(), count);
        EXPECT_TRUE(std::is_sorted(delivered.begin(), delivered.end()));
    }
}

TEST(BatchReport, ProgressLine)
{
    struct Case
    {
        std::size_t done, total;
        std::uintmax_t bytesDone, bytesTotal;
        double seconds;
        const char* expected;
    };
    const Case cases[] = {
        {0, 340, 0, 1000000, 0.0, "[  0/340] 0%  0.0 MB/s  elapsed 0:00  ETA -"},
        {12, 340, 25000000, 100000000, 10.0, "[ 12/340] 25%  2.5 MB/s  elapsed 0:10  ETA 0:30"},
        {3, 3, 9000000, 9000000, 3725.0, "[3/3] 100%  0.0 MB/s  elapsed 1:02:05  ETA 0:00"},
        // Empty files only: the share follows the count of files.
        {1, 4, 0, 0, 1.0, "[1/4] 25%  0.0 MB/s  elapsed 0:01  ETA -"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatProgress(c.done, c.total, c.bytesDone, c.bytesTotal, c.seconds), c.expected);
}

TEST(BatchReport, JsonStringsAreValidWhateverTheBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain/path.rla", R"("plain/path.rla")"},
        {"quote \" back \\ tab \t line \n", R"("quote \" back \\ tab \t line \n")"},
        {std::string("\x01\x7f", 2), R"("\u0001\u007f")"},
        {"Статья", "\"Статья\""},
        // A path in code page 1251 or 866 is no UTF-8: each such byte stands as U+FFFD.
        {"\xD1\xF2", R"("\ufffd\ufffd")"},
        {std::string("a\xC0\xAF") + "b", R"("a\ufffd\ufffdb")"}, // overlong slash
        {"\xED\xA0\x80", R"("\ufffd\ufffd\ufffd")"},             // a surrogate
        {"\xE2\x82", R"("\ufffd\ufffd")"},                       // cut short
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},            // four bytes, kept
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(JsonString(text), expected) << text;
}

// A remark line names its file as the tool's messages do: a newline or an escape sequence in a name
// or a heading is shown, not obeyed, so it cannot forge a line an editor would jump to.
TEST(BatchReport, RemarkLinesArePrintable)
{
    DocumentResult result;
    result.remarks = {{12, "gap", "После статьи 2 идёт статья 4: нет статьи 3"}, {40, "body", "a\nb:1: x"}};
    EXPECT_EQ(RemarkLines("in/Закон.rla", result),
              "in/Закон.rla:12: После статьи 2 идёт статья 4: нет статьи 3\nin/Закон.rla:40: a\\nb:1: x\n");
    const std::string shown = "in/x.rla\\nfake.rla:1: \\x1b[2J";
    EXPECT_EQ(RemarkLines("in/x.rla\nfake.rla:1: \x1b[2J", result),
              shown + ":12: После статьи 2 идёт статья 4: нет статьи 3\n" + shown + ":40: a\\nb:1: x\n");
}

TEST(BatchReport, TotalsAndSummary)
{
    BatchTotals totals;
    DocumentResult processed;
    processed.outcome = DocumentOutcome::Processed;
    processed.changed = true;
    processed.entries = 7;
    DocumentResult unchanged = processed;
    unchanged.changed = false;
    unchanged.entries = 0;
    DocumentResult refused;
    refused.outcome = DocumentOutcome::Refused;
    const DocumentResult failed;
    for (const DocumentResult* result :
         std::initializer_list<const DocumentResult*>{&processed, &unchanged, &refused, &processed, &failed})
        totals.Add(*result);
    EXPECT_EQ(FormatSummary(totals, 5, false, 2.04),
              "tirvel-toc: 5 documents: 3 processed (1 unchanged), 1 refused, 1 failed; 14 entries; 2.0 s; "
              "1 without entries (try --extended)");
    EXPECT_EQ(FormatSummary(totals, 8, true, 0.5, true),
              "tirvel-toc: 5 documents: 3 would be processed (1 unchanged), "
              "1 refused, 1 failed; 14 entries; 0.5 s; 1 without entries; interrupted, 3 not "
              "processed");
}
} // namespace
