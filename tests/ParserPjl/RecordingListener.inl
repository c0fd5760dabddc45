#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <gtest/gtest.h>

#include <memory>

namespace ParserPjlTests {

// Feeds the chunks between the cuts as the frame would.
template <typename Parser>
FeedResult Feed(std::string_view text, const std::vector<size_t>& cuts)
{
    using namespace RawPrintData;
    RecordingListener listener;
    Parser parser;
    parser.AddListener(&listener);
    DataBuffer buffer;
    FeedResult fed;
    size_t start = 0;
    std::vector<size_t> ends = cuts;
    ends.push_back(text.size());
    bool stopped = false;
    for (size_t end : ends) {
        // Each chunk is a copy that dies after its call, as a read buffer would.
        const std::string chunk(text.substr(start, end - start));
        start = end;
        buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size());
        fed.mintResult = parser.ParseData(buffer);
        fed.mintBytesProcessed = parser.BytesProcessed();
        if (fed.mintResult < 0 || fed.mintResult == PARSE_RESULT_SWITCH_LANGUAGE) {
            stopped = true;
            break;
        }
        EXPECT_TRUE(buffer.CopyFromMainIntoPrebuffer(parser.BytesProcessed()));
    }
    if (!stopped)
        parser.ParseDone();
    fed.mvecEvents = listener.mvecEvents;
    return fed;
}

// Compares the events of every single cut and of byte-wise feeding with the
// whole-text events.
template <typename Parser>
void ExpectSameEventsWhereverCut(std::string_view text)
{
    const std::vector<std::string> whole = Feed<Parser>(text).mvecEvents;
    for (size_t cut = 1; cut < text.size(); ++cut)
        EXPECT_EQ(Feed<Parser>(text, {cut}).mvecEvents, whole) << "cut at " << cut;
    std::vector<size_t> everyByte;
    for (size_t cut = 1; cut < text.size(); ++cut)
        everyByte.push_back(cut);
    EXPECT_EQ(Feed<Parser>(text, everyByte).mvecEvents, whole) << "fed a byte at a time";
}

// Runs the table.
template <typename Parser>
void ExpectCommandTable(const std::vector<CommandCase>& rows)
{
    for (const CommandCase& row : rows) {
        SCOPED_TRACE(row.mstrName);
        const FeedResult fed = Feed<Parser>(row.mstrInput);
        EXPECT_EQ(fed.mintResult, row.mintResult);
        EXPECT_EQ(fed.mvecEvents, row.mvecEvents);
        if (row.mstrInput.size() <= 400)
            ExpectSameEventsWhereverCut<Parser>(row.mstrInput);
    }
}

}  // namespace ParserPjlTests
