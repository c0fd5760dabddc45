#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/CRawPageSet.h"
#include "PrinterLanguageParser/Parser/Endian.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"
#include "tests/Parser/ParseOutcome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// A parser that only counts its printer resets, for driving strategies.
class StrategyTarget final : public IRawDataParser {
public:
    ParseDataResultType ParseData(const DataBuffer& buffer) override
    {
        mintBytesProcessed = buffer.Length();
        return PARSE_RESULT_HANDLED;
    }
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override { NotifyPageCompleted(CRawPage()); }
    void Reset() override { ++mintResets; }

    int mintResets = 0;
};

// A handler whose PCL 5 parser is a StrategyTarget the test can reach.
struct StrategyHandler {
    StrategyHandler()
    {
        ParserRegistry registry;
        registry.Register(LANGUAGE_PCL5, [this] {
            auto parser = std::make_unique<StrategyTarget>();
            mTarget = parser.get();
            return parser;
        });
        mHandler = std::make_unique<CRawDataHandler>(LANGUAGE_PCL5, registry);
    }
    StrategyTarget* mTarget = nullptr;
    std::unique_ptr<CRawDataHandler> mHandler;
};

}  // namespace

// Bytes in stream order become numbers in either byte order.
TEST(Endian, CombinesBytes)
{
    const BigEndian big;
    const LittleEndian little;
    EXPECT_EQ(big.Combine_uint16(0x12, 0x34), 0x1234);
    EXPECT_EQ(little.Combine_uint16(0x12, 0x34), 0x3412);
    EXPECT_EQ(big.Combine_int16(0xFF, 0xFE), -2);
    EXPECT_EQ(little.Combine_int16(0xFE, 0xFF), -2);
    EXPECT_EQ(big.Combine_uint32(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(little.Combine_uint32(0x12, 0x34, 0x56, 0x78), 0x78563412u);
    EXPECT_EQ(big.Combine_int32(0xFF, 0xFF, 0xFF, 0xFE), -2);
    EXPECT_EQ(little.Combine_int32(0x00, 0x00, 0x00, 0x80), INT32_MIN);
    EXPECT_FLOAT_EQ(big.Combine_real32(0x3F, 0x80, 0x00, 0x00), 1.0f);
    EXPECT_FLOAT_EQ(little.Combine_real32(0x00, 0x00, 0x20, 0xC1), -10.0f);
}

// Each shared strategy acts on its parser's handler.
TEST(Strategies, ActThroughTheParser)
{
    StrategyHandler fixture;
    CRawDataHandler& handler = *fixture.mHandler;
    IRawDataParser* parser = fixture.mTarget;
    ASSERT_NE(parser, nullptr);

    SetJobPropertyStrategy<unsigned long>(PROPERTY_COPIES, 4).Execute(parser);
    AdditionalCopiesStrategy(2).Execute(parser);
    SetJobPropertyStrategy<bool>(PROPERTY_DUPLEX, true).Execute(parser);
    SetJobPropertyStrategy<RawColorType>(PROPERTY_COLOR_TYPE, COLOR_TYPE_COLOR).Execute(parser);
    SetJobPropertyStrategy<RawPaperOrientation>(PROPERTY_DEFAULT_ORIENTATION, ORIENTATION_LANDSCAPE).Execute(parser);
    SetJobPropertyStrategy<int>(PROPERTY_DEFAULT_PAGE_WIDTH, 2100).Execute(parser);
    NextPageStrategy().Execute(parser);
    ResetParserStrategy().Execute(parser);
    NextPageStrategy().Execute(nullptr);
    SwitchLanguageStrategy(LANGUAGE_PJL).Execute(parser);

    EXPECT_EQ(fixture.mTarget->mintResets, 1);
    EXPECT_EQ(handler.GetCurrentLanguage(), LANGUAGE_PJL);
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_FAILURE);  // the registry has no PJL parser
    EXPECT_EQ(handler.GetCopies(), 6u);
    EXPECT_TRUE(handler.IsDuplex());
    EXPECT_EQ(handler.GetColorType(), COLOR_TYPE_COLOR);
    ASSERT_EQ(handler.GetPageSets().size(), 1u);
    EXPECT_EQ(handler.GetPageSets()[0].mintWidth, 2100);
    EXPECT_EQ(handler.GetPageSets()[0].mintOrientation, ORIENTATION_LANDSCAPE);
    EXPECT_EQ(handler.GetPageSets()[0].mintMonoPages, 1);
}

// A %%Requirements: record gives copies when it names some, duplex and
// colour when it asks for them, and nothing else.
TEST(Strategies, DscRequirements)
{
    struct Case {
        Postscript::PostscriptRequirements mRequirements;
        unsigned long mintCopies;
        bool mblnDuplex;
        RawColorType mintColor;
    };
    Postscript::PostscriptRequirements all;
    all.mintCopies.SetValue(3);
    all.mblnDuplex = true;
    all.mblnColor = true;
    all.mblnStaple = true;
    Postscript::PostscriptRequirements staple;
    staple.mblnStaple = true;
    staple.mblnCollate = true;
    const Case cases[] = {{all, 3, true, COLOR_TYPE_COLOR}, {staple, 1, false, COLOR_TYPE_UNKNOWN}};
    for (const Case& testCase : cases) {
        StrategyHandler fixture;
        fixture.mTarget->HandleDscRequirements(&testCase.mRequirements);
        fixture.mTarget->HandleDscRequirements(nullptr);
        EXPECT_EQ(fixture.mHandler->GetCopies(), testCase.mintCopies);
        EXPECT_EQ(fixture.mHandler->IsDuplex(), testCase.mblnDuplex);
        EXPECT_EQ(fixture.mHandler->GetColorType(), testCase.mintColor);
    }
}

// The page-set record crosses as its 276 bytes, a full 256-character name
// included, with the numbers at their fixed offsets.
TEST(PageSetRecord, WireBytes)
{
    CRawPageSet pageSet;
    pageSet.SetName(std::string(PAPER_NAME_LENGTH + 10, 'q'));
    pageSet.mintWidth = 2100;
    pageSet.mintHeight = -1;
    pageSet.mintMonoPages = 7;
    pageSet.mintColorPages = 0x01020304;
    pageSet.mintOrientation = ORIENTATION_LANDSCAPE;

    unsigned char bytes[CRawPageSet::WIRE_SIZE];
    pageSet.WriteTo(bytes);
    EXPECT_EQ(bytes[255], 'q');
    const unsigned char expectedNumbers[] = {0x34, 0x08, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0, 4, 3, 2, 1, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes + 256, expectedNumbers, sizeof expectedNumbers), 0);

    const CRawPageSet copy = CRawPageSet::ReadFrom(bytes);
    EXPECT_EQ(copy, pageSet);
    EXPECT_EQ(copy.GetName(), std::string(PAPER_NAME_LENGTH, 'q'));

    CRawPageSet cleared = copy;
    cleared.Reset();
    EXPECT_EQ(cleared, CRawPageSet());
    EXPECT_EQ(cleared.GetName(), "");
    cleared.SetName(std::string_view("A4\0junk", 7));
    EXPECT_EQ(cleared.GetName(), "A4");
    EXPECT_EQ(cleared.mstrPaperName[3], '\0');
}
