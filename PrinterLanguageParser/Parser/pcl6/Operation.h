#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"
#include "PrinterLanguageParser/Parser/pcl6/AttributeSet.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6MediaSize.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace RawPrintData::PCL6 {

class PCL6Parser;

// One operator with the attributes gathered before it, turned into the
// strategies that bear on accounting.
class Operation {
public:
    Operation(uint32_t operatorTag, const AttributeSet& attributes) : mintOperator(operatorTag), mAttributes(attributes) {}

    // Builds the operator's strategies and runs them in order.
    void ExecuteStrategy(PCL6Parser& parser) const;

private:
    void mAddBeginPageStrategies(std::vector<std::unique_ptr<IRawDataParserStrategy>>& strategies) const;
    static void mAddPaperSizeStrategies(std::vector<std::unique_ptr<IRawDataParserStrategy>>& strategies,
                                        PaperDimensions size);
    static PaperDimensions mTranslatePCL6MediaSize(const AttributeValue& mediaSize);
    static PaperDimensions mTranslatePCL6CustomSize(const AttributeValue& measure, const AttributeValue& size);

    uint32_t mintOperator;
    const AttributeSet& mAttributes;
};

}  // namespace RawPrintData::PCL6
