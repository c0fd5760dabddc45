#pragma once

#include "tests/Parser/ParseOutcome.h"

#include <span>

namespace ParserTestSupport {

// Parses a job whole, one byte at a time, in chunks of 2, 3, 7, 4096 and
// 65536 bytes and in random chunk sizes (fixed seeds, so a failure repeats),
// and expects every outcome to equal the whole-job one: a parser's results
// must not depend on where the job is cut. Returns the whole-job outcome for
// further checks. Usable from any test:
//     auto outcome = ExpectChunkInvariant(ReadJobFile(CVK_TEST_DATA_DIR "/a4-duplex.pcl"));
//     EXPECT_EQ(outcome.mintMonoPages, 2);
ParseOutcome ExpectChunkInvariant(std::span<const unsigned char> job,
                                  const RawPrintData::ParserRegistry& registry = RawPrintData::ParserRegistry::BuiltIn(),
                                  RawPrintData::RawLanguageType language = RawPrintData::LANGUAGE_UNKNOWN);

}  // namespace ParserTestSupport
