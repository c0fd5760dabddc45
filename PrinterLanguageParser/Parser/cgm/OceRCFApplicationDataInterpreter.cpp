#include "PrinterLanguageParser/Parser/cgm/OceRCFApplicationDataInterpreter.h"

#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include <string>

namespace RawPrintData::CGM {

namespace {

constexpr uint32_t SLOT_COPIES_AND_DUPLEX = 2;
constexpr uint32_t SLOT_COLOR_MODE = 15;
constexpr uint32_t SLOT_PAPER_TYPE = 21;

}  // namespace

// Reports what one configuration slot says.
void OceRCFApplicationDataInterpreter::InterpretApplicationData(IRawDataParser& parser, const ApplicationDataEntry& entry)
{
    switch (entry.GetSlotNumber()) {
    case SLOT_COPIES_AND_DUPLEX: {
        const unsigned long copies = entry.GetParamValue("CO", 1);
        const bool duplex = entry.GetParamValue("DU", 0) != 0;
        parser.NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
        parser.NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
        break;
    }
    case SLOT_COLOR_MODE: {
        const uint32_t mode = entry.GetParamValue("CM", 2);
        if (mode == 0 || mode == 1) {
            const RawColorType color = mode == 0 ? COLOR_TYPE_GRAYSCALE : COLOR_TYPE_COLOR;
            parser.NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &color);
        }
        break;
    }
    case SLOT_PAPER_TYPE: {
        if (entry.HasParam("PF"))
            mSetDefaultPaperType(parser, entry.GetParamValue("PF", 0));
        break;
    }
    default:
        break;
    }
}

// Reports name, width and height, in that order.
void OceRCFApplicationDataInterpreter::mSetDefaultPaperType(IRawDataParser& parser, uint32_t paperType)
{
    const OceRCFPaper& paper = OceRCFPaperType(paperType);
    const std::string name(paper.mstrName);
    const int width = paper.mintWidth;
    const int height = paper.mintHeight;
    parser.NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_SIZE, name.c_str());
    parser.NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_WIDTH, &width);
    parser.NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_HEIGHT, &height);
}

}  // namespace RawPrintData::CGM
