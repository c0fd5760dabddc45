#include "PrinterLanguageParser/Parser/pcl6/Operation.h"

#include "PrinterLanguageParser/Parser/PaperName.h"
#include "PrinterLanguageParser/Parser/ParserStrategies.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Strategies.h"

#include <algorithm>
#include <cstdint>

namespace RawPrintData::PCL6 {

namespace {

// Orientation values 1 and 3 are the landscape ones.
constexpr bool IsLandscape(double orientation)
{
    return orientation == 1 || orientation == 3;
}

}  // namespace

// Turns the operator into strategies and runs them; operators that bear on no
// count make none.
void Operation::ExecuteStrategy(PCL6Parser& parser) const
{
    std::vector<std::unique_ptr<IRawDataParserStrategy>> strategies;
    switch (mintOperator) {
    case OPERATOR_BEGIN_PAGE:
        mAddBeginPageStrategies(strategies);
        break;
    case OPERATOR_END_PAGE:
        strategies.push_back(std::make_unique<NextPageStrategy>());
        break;
    case OPERATOR_VENDOR_UNIQUE:
        // JetReady and other vendor extensions send their data as raw bytes
        // right after the operator, counted by VUDataLength.
        if (const AttributeValue* length = mAttributes.Find(ATTRIBUTE_VU_DATA_LENGTH); length && length->Element(0) > 0)
            parser.SkipOperatorData(static_cast<uint64_t>(std::min(length->Element(0), double{UINT32_MAX})));
        break;
    case OPERATOR_SET_COLOR_SPACE:
        if (const AttributeValue* colorSpace = mAttributes.Find(ATTRIBUTE_COLOR_SPACE); colorSpace && colorSpace->IsUByte())
            strategies.push_back(std::make_unique<SetColorSpaceStrategy>(static_cast<uint32_t>(colorSpace->Element(0))));
        break;
    default:
        return;
    }
    for (const auto& strategy : strategies)
        strategy->Execute(&parser);
}

// BeginPage: a new mono page in grey, duplex, orientation and paper size.
void Operation::mAddBeginPageStrategies(std::vector<std::unique_ptr<IRawDataParserStrategy>>& strategies) const
{
    strategies.push_back(std::make_unique<ResetColorSpaceStrategy>());
    strategies.push_back(std::make_unique<SetCurrentPageColorStrategy>(false));
    if (mAttributes.Find(ATTRIBUTE_DUPLEX_PAGE_MODE) != nullptr)
        strategies.push_back(std::make_unique<SetJobPropertyStrategy<bool>>(PROPERTY_DUPLEX, true));
    if (mAttributes.Find(ATTRIBUTE_SIMPLEX_PAGE_MODE) != nullptr)
        strategies.push_back(std::make_unique<SetJobPropertyStrategy<bool>>(PROPERTY_DUPLEX, false));
    if (const AttributeValue* orientation = mAttributes.Find(ATTRIBUTE_ORIENTATION); orientation && orientation->IsUByte())
        strategies.push_back(std::make_unique<SetJobPropertyStrategy<RawPaperOrientation>>(
            PROPERTY_DEFAULT_ORIENTATION, IsLandscape(orientation->Element(0)) ? ORIENTATION_LANDSCAPE : ORIENTATION_PORTRAIT));
    if (const AttributeValue* mediaSize = mAttributes.Find(ATTRIBUTE_MEDIA_SIZE); mediaSize && mediaSize->IsUByte()) {
        mAddPaperSizeStrategies(strategies, mTranslatePCL6MediaSize(*mediaSize));
    } else if (mediaSize != nullptr && mediaSize->DataType() == TAG_FIRST_ARRAY) {
        // A MediaSize by name ("A4", "LETTER", ...): a known paper.
        if (const std::optional<KnownPaper> paper = LookUpKnownPaper(mediaSize->Text()))
            mAddPaperSizeStrategies(strategies, {paper->mintWidth, paper->mintHeight, paper->mstrName});
    }
    const AttributeValue* units = mAttributes.Find(ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS);
    const AttributeValue* customSize = mAttributes.Find(ATTRIBUTE_CUSTOM_MEDIA_SIZE);
    if (units != nullptr && units->IsUByte() && customSize != nullptr)
        mAddPaperSizeStrategies(strategies, mTranslatePCL6CustomSize(*units, *customSize));
}

// Reports a size as the default page width and height and gives it to the page.
void Operation::mAddPaperSizeStrategies(std::vector<std::unique_ptr<IRawDataParserStrategy>>& strategies,
                                        PaperDimensions size)
{
    strategies.push_back(
        std::make_unique<SetJobPropertyStrategy<int>>(PROPERTY_DEFAULT_PAGE_WIDTH, static_cast<int>(size.mintWidth)));
    strategies.push_back(
        std::make_unique<SetJobPropertyStrategy<int>>(PROPERTY_DEFAULT_PAGE_HEIGHT, static_cast<int>(size.mintHeight)));
    // The page counts under its paper's name; a custom size of a known paper
    // takes that paper's name.
    if (size.mstrName.empty()) {
        if (const std::optional<KnownPaper> paper = LookUpKnownPaper(size.mintWidth, size.mintHeight))
            size.mstrName = paper->mstrName;
    }
    strategies.push_back(std::make_unique<SetCurrentPaperSizeStrategy>(size.mintWidth, size.mintHeight, size.mstrName));
}

// The size of a MediaSize enumeration value.
PaperDimensions Operation::mTranslatePCL6MediaSize(const AttributeValue& mediaSize)
{
    return MediaSizeDimensions(static_cast<uint32_t>(mediaSize.Element(0)));
}

// The size of a CustomMediaSize given as a real32 or uint16 pair.
PaperDimensions Operation::mTranslatePCL6CustomSize(const AttributeValue& measure, const AttributeValue& size)
{
    if (size.DataType() != TAG_REAL32_XY && size.DataType() != TAG_UINT16_XY)
        return CustomMediaSizeDimensions(static_cast<uint32_t>(measure.Element(0)), 0, 0);
    return CustomMediaSizeDimensions(static_cast<uint32_t>(measure.Element(0)), size.Element(0), size.Element(1));
}

}  // namespace RawPrintData::PCL6
