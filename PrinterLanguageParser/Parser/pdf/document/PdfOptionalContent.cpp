#include "PrinterLanguageParser/Parser/pdf/document/PdfOptionalContent.h"

#include <algorithm>
#include <string>

namespace RawPrintData::Pdf {

namespace {

constexpr int MAX_GROUPS = 4096;

void ReadGroups(QPDFObjectHandle array, std::set<QPDFObjGen>& into)
{
    if (!array.isArray())
        return;
    const int count = std::min(array.getArrayNItems(), MAX_GROUPS);
    for (int index = 0; index < count; ++index) {
        QPDFObjectHandle group = array.getArrayItem(index);
        if (group.isIndirect())
            into.insert(group.getObjGen());
    }
}

bool NameIs(QPDFObjectHandle object, const char* name)
{
    return object.isName() && object.getName() == name;
}

}  // namespace

PdfOptionalContent::PdfOptionalContent(QPDF& pdf)
{
    QPDFObjectHandle properties = pdf.getRoot().getKey("/OCProperties");
    QPDFObjectHandle config = properties.isDictionary() ? properties.getKey("/D") : QPDFObjectHandle::newNull();
    if (!config.isDictionary())
        return;
    mblnBaseOff = NameIs(config.getKey("/BaseState"), "/OFF");
    ReadGroups(config.getKey("/ON"), mOn);
    ReadGroups(config.getKey("/OFF"), mOff);
    QPDFObjectHandle usage = config.getKey("/AS");
    if (usage.isArray()) {
        for (int index = 0; index < std::min(usage.getArrayNItems(), MAX_GROUPS); ++index) {
            QPDFObjectHandle entry = usage.getArrayItem(index);
            if (entry.isDictionary() && NameIs(entry.getKey("/Event"), "/Print"))
                mblnPrintStates = true;
        }
    }
}

bool PdfOptionalContent::mGroupIsOn(QPDFObjectHandle group) const
{
    if (!group.isDictionary())
        return true;
    if (mblnPrintStates) {
        QPDFObjectHandle usage = group.getKey("/Usage");
        QPDFObjectHandle print = usage.isDictionary() ? usage.getKey("/Print") : QPDFObjectHandle::newNull();
        QPDFObjectHandle state = print.isDictionary() ? print.getKey("/PrintState") : QPDFObjectHandle::newNull();
        if (NameIs(state, "/ON"))
            return true;
        if (NameIs(state, "/OFF"))
            return false;
    }
    if (!group.isIndirect())
        return true;
    const QPDFObjGen id = group.getObjGen();
    if (mOff.count(id) != 0)
        return false;
    return !mblnBaseOff || mOn.count(id) != 0;
}

bool PdfOptionalContent::IsHidden(QPDFObjectHandle content) const
{
    if (!content.isDictionary())
        return false;
    if (NameIs(content.getKey("/Type"), "/OCG"))
        return !mGroupIsOn(content);
    if (!NameIs(content.getKey("/Type"), "/OCMD") || content.hasKey("/VE"))
        return false;
    // A membership dictionary: its groups and how their states combine.
    QPDFObjectHandle groups = content.getKey("/OCGs");
    if (groups.isDictionary())
        return !mGroupIsOn(groups);
    if (!groups.isArray() || groups.getArrayNItems() == 0)
        return false;
    int on = 0;
    const int count = std::min(groups.getArrayNItems(), MAX_GROUPS);
    for (int index = 0; index < count; ++index)
        on += mGroupIsOn(groups.getArrayItem(index)) ? 1 : 0;
    QPDFObjectHandle policy = content.getKey("/P");
    if (NameIs(policy, "/AllOn"))
        return on != count;
    if (NameIs(policy, "/AnyOff"))
        return on == count;
    if (NameIs(policy, "/AllOff"))
        return on != 0;
    return on == 0;  // AnyOn, the default
}

}  // namespace RawPrintData::Pdf
