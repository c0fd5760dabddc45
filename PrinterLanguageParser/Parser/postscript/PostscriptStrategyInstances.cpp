#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"

namespace RawPrintData::Postscript::ParserStrategies {

namespace {

using Members = const IParserStrategy* const[];
constexpr Members SET_RGB_COLOR_AND_PAINT = {&SetRgbColor, &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members SET_CMYK_COLOR_AND_PAINT = {&SetCmykColor, &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members SET_HSB_COLOR_AND_PAINT = {&SetHsbColor, &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members SET_COLOR_AND_PAINT = {&SetColor, &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members MARK_COLOR_AND_NEXT_PAGE = {&MarkCurrentPageAsColor, &MoveToNextPage};

}  // namespace

constinit const NullParserStrategy NullParserStrategy_Impl;
constinit const IgnoreTokenStrategy IgnoreToken;
constinit const CheckCurrentColorspaceAndMarkCurrentPageAsColorStrategy CheckCurrentColorspaceAndMarkCurrentPageAsColor;
constinit const MakePreviousTokenExecuteableStrategy MakePreviousTokenExecuteable;
constinit const MarkCurrentPageAsColorStrategy MarkCurrentPageAsColor{true};
constinit const MarkCurrentPageAsColorStrategy MarkCurrentPageAsMono{false};
constinit const PushCurrentGraphicsStateStrategy PushCurrentGraphicsState;
constinit const PopCurrentGraphicsStateStrategy PopCurrentGraphicsState;
constinit const PopToSavedGraphicsStateStrategy PopToSavedGraphicsState{false};
constinit const PopToSavedGraphicsStateStrategy RestoreSavedGraphicsState{true};
constinit const MarkSavedAndPushCurrentGraphicsStateStrategy MarkSavedAndPushCurrentGraphicsState;
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy SetColor{COLOR_SPACE_NONE, 0};
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy SetCmykColor{COLOR_SPACE_DEVICE_CMYK, 0};
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy SetRgbColor{COLOR_SPACE_DEVICE_RGB, 0};
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy SetHsbColor{COLOR_SPACE_HSB, 0};
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy PopOneThenSetColor{COLOR_SPACE_NONE, 1};
constinit const InspectColorAndSetCurrentGraphicsStateAppropriatelyStrategy PopTwoThenSetColor{COLOR_SPACE_NONE, 2};
constinit const SetColorSpaceStrategy SetColorSpace{COLOR_SPACE_NONE};
constinit const SetColorSpaceStrategy SetColorSpaceGray{COLOR_SPACE_DEVICE_GRAY};
constinit const SetColorSpaceStrategy SetColorSpaceRgb{COLOR_SPACE_DEVICE_RGB};
constinit const SetColorSpaceStrategy SetColorSpaceCmyk{COLOR_SPACE_DEVICE_CMYK};
constinit const SetColorSpaceStrategy SetColorSpaceBeforeProcedure{COLOR_SPACE_NONE, true};
constinit const CheckIfImageIsColorStrategy CheckIfImageIsColor;
constinit const InspectInlineImageStrategy InspectInlineImage;
constinit const MoveToNextPageStrategy MoveToNextPage{true};
constinit const MoveToNextPageStrategy CopyCurrentPageAndMoveToNextPage{false};
constinit const StoreArrayInVariableStrategy StoreArrayInFillColor{"/fill_color"};
constinit const StoreArrayInVariableStrategy StoreArrayInOutlineColor{"/outl_color"};
constinit const ExecuteStrategyWithVariableContentsStrategy SetColorFromFillColorVariable{"/fill_color",
                                                                                          &PopTwoThenSetColor};
constinit const ExecuteStrategyWithVariableContentsStrategy SetColorFromOutlineColorVariable{"/outl_color",
                                                                                             &PopTwoThenSetColor};
constinit const ForceTokenizerToBase85Strategy ForceTokenizerToBase85;
constinit const ForceTokenizerToHexStrategy ForceTokenizerToHex;
constinit const SetPageDeviceDictionaryStrategy SetPageDeviceDictionary;

namespace {

constexpr Members MARK_PAGE_AND_FORCE_BASE85 = {&CheckCurrentColorspaceAndMarkCurrentPageAsColor,
                                                &ForceTokenizerToBase85};
constexpr Members DO_CMYK_IMAGE_AND_FORCE_BASE85 = {&SetColorSpaceCmyk, &MarkCurrentPageAsColor,
                                                    &ForceTokenizerToBase85};
constexpr Members DO_RGB_IMAGE_AND_FORCE_BASE85 = {&SetColorSpaceRgb, &MarkCurrentPageAsColor, &ForceTokenizerToBase85};
constexpr Members DO_RGB_IMAGE_AND_FORCE_HEX = {&SetColorSpaceRgb, &MarkCurrentPageAsColor, &ForceTokenizerToHex};
constexpr Members SET_FILL_COLOR_AND_FILL = {&SetColorFromFillColorVariable,
                                             &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members SET_STROKE_COLOR_AND_STROKE = {&SetColorFromOutlineColorVariable,
                                                 &CheckCurrentColorspaceAndMarkCurrentPageAsColor};
constexpr Members FORCE_BASE85_AND_MARK_COLOR = {&ForceTokenizerToBase85, &MarkCurrentPageAsColor};
constexpr Members POP_TO_SAVED_AND_NEXT_PAGE = {&PopToSavedGraphicsState, &MoveToNextPage};
// An image in the current colour space: any colour space but grey paints in
// colour (the image dictionary, read as the colour's operand, is no grey).
constexpr Members PAINT_IMAGE_AND_FORCE_BASE85 = {&SetColor, &CheckCurrentColorspaceAndMarkCurrentPageAsColor,
                                                  &ForceTokenizerToBase85};

}  // namespace

constinit const CompositeParserStrategy MarkPageAndForceBase85{MARK_PAGE_AND_FORCE_BASE85};
constinit const CompositeParserStrategy DoCmykImageAndForceBase85{DO_CMYK_IMAGE_AND_FORCE_BASE85};
constinit const CompositeParserStrategy DoRgbImageAndForceBase85{DO_RGB_IMAGE_AND_FORCE_BASE85};
constinit const CompositeParserStrategy DoRgbImageAndForceHex{DO_RGB_IMAGE_AND_FORCE_HEX};
constinit const CompositeParserStrategy SetFillColorAndFill{SET_FILL_COLOR_AND_FILL};
constinit const CompositeParserStrategy SetStrokeColorAndStroke{SET_STROKE_COLOR_AND_STROKE};

namespace {

constexpr Members SAVE_FILL_RESTORE_STROKE = {&PushCurrentGraphicsState, &SetFillColorAndFill,
                                              &PopCurrentGraphicsState, &SetStrokeColorAndStroke};

}  // namespace

constinit const CompositeParserStrategy SaveThenFillThenRestoreThenStroke{SAVE_FILL_RESTORE_STROKE};
constinit const CompositeParserStrategy ForceTokenizerToBase85AndMarkCurrentPageAsColor{FORCE_BASE85_AND_MARK_COLOR};
constinit const CompositeParserStrategy PopToSavedGraphicsStateAndMoveToNextPage{POP_TO_SAVED_AND_NEXT_PAGE};
constinit const CompositeParserStrategy PaintImageAndForceBase85{PAINT_IMAGE_AND_FORCE_BASE85};

constinit const ReportDuplexStrategy ReportDuplex{false};
constinit const ReportDuplexStrategy ReportDuplexIfOperandTrue{true};
constinit const CompositeParserStrategy SetRgbColorAndPaint{SET_RGB_COLOR_AND_PAINT};
constinit const CompositeParserStrategy SetCmykColorAndPaint{SET_CMYK_COLOR_AND_PAINT};
constinit const CompositeParserStrategy SetHsbColorAndPaint{SET_HSB_COLOR_AND_PAINT};
constinit const CompositeParserStrategy SetColorAndPaint{SET_COLOR_AND_PAINT};
constinit const CompositeParserStrategy MarkCurrentPageAsColorAndMoveToNextPage{MARK_COLOR_AND_NEXT_PAGE};

}  // namespace RawPrintData::Postscript::ParserStrategies
