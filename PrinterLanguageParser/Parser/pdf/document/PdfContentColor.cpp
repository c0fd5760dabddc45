#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"

#include "PrinterLanguageParser/Parser/pdf/document/ImageColor.h"

#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>

namespace RawPrintData::Pdf {

namespace {

constexpr size_t MAX_OPERANDS = 256;  // an inline image's dictionary included
constexpr size_t MAX_STATE_DEPTH = 256;

// A resource of a kind (/XObject, /Pattern, /Shading) by name, or null.
QPDFObjectHandle Resource(QPDFObjectHandle resources, const char* kind, const std::string& name)
{
    if (!resources.isDictionary())
        return QPDFObjectHandle::newNull();
    QPDFObjectHandle group = resources.getKey(kind);
    return group.isDictionary() ? group.getKey(name) : QPDFObjectHandle::newNull();
}

// An object's identity for the judge's cache; empty for a direct object,
// which has none.
std::string Identity(QPDFObjectHandle object)
{
    return object.isIndirect() ? object.getObjGen().unparse(' ') : std::string();
}

// The part of a colour space that content drawn in it can depend on.
std::string SpaceKey(const PdfColorSpace& space)
{
    std::string key = std::to_string(static_cast<int>(space.mKind));
    for (bool entry : space.mvecColorEntries)
        key += entry ? '1' : '0';
    key += ':';
    for (bool colorant : space.mvecColorColorants)
        key += colorant ? '1' : '0';
    return key;
}

std::string StateKey(const GraphicsState& state)
{
    return SpaceKey(state.mFillSpace) + '/' + SpaceKey(state.mStrokeSpace) + '/' +
           (state.mblnFillColor ? 'f' : '-') + (state.mblnStrokeColor ? 's' : '-') + std::to_string(state.mintTextMode);
}

}  // namespace

template <typename Make> Judgement PdfColorJudge::mOnce(const std::string& key, Make make)
{
    if (key.empty())
        return make();
    const auto found = mCache.find(key);
    if (found != mCache.end())
        return found->second;
    // A form that draws itself, while it is being judged, adds nothing.
    mCache.emplace(key, Judgement{});
    Judgement judgement = make();
    mCache[key] = judgement;
    return judgement;
}

Judgement PdfColorJudge::Page(QPDFObjectHandle page)
{
    QPDFPageObjectHelper helper(page);
    QPDFObjectHandle resources = helper.getAttribute("/Resources", false);
    QPDFObjectHandle contents = page.getKey("/Contents");
    // Pages that share their content and resources are judged once.
    const std::string contentsId = Identity(contents);
    const bool resourcesKnown = resources.isIndirect() || resources.isNull();
    const std::string key =
        contentsId.empty() || !resourcesKnown ? std::string() : "page " + contentsId + " " + Identity(resources);
    return mOnce(key, [&] { return mRead(contents, resources, GraphicsState{}, 0); });
}

Judgement PdfColorJudge::Nested(QPDFObjectHandle stream, QPDFObjectHandle resources, const GraphicsState& state,
                                int depth)
{
    QPDFObjectHandle own = stream.getDict().getKey("/Resources");
    const bool inherited = !own.isDictionary();
    const std::string id = Identity(stream);
    const std::string key = id.empty() || (inherited && !resources.isIndirect() && !resources.isNull())
                                ? std::string()
                                : "form " + id + " " + (inherited ? Identity(resources) : "own") + " " + StateKey(state);
    return mOnce(key, [&] {
        if (depth > MAX_NESTING)
            return Judgement::Unknown("forms or patterns nested more than " + std::to_string(MAX_NESTING) + " deep");
        return mRead(stream, inherited ? resources : own, state, depth);
    });
}

Judgement PdfColorJudge::Image(QPDFObjectHandle image, const PdfColorSpace& space)
{
    const std::string id = Identity(image);
    return mOnce(id.empty() ? id : "image " + id + " " + SpaceKey(space),
                 [&] { return JudgeImage(image, space, mBudget); });
}

Judgement PdfColorJudge::mRead(QPDFObjectHandle contents, QPDFObjectHandle resources, const GraphicsState& state,
                               int depth)
{
    if (mBudget.Exhausted())
        return Judgement::Unknown(mBudget.Describe());
    std::vector<QPDFObjectHandle> streams;
    if (contents.isArray())
        streams = contents.getArrayAsVector();
    else
        streams.push_back(contents);
    PdfContentColor scanner(*this, resources, state, depth);
    ContentStreamReader reader(scanner, mBudget, mInput);
    for (QPDFObjectHandle& stream : streams) {
        if (!stream.isStream())
            continue;
        bool filtered = false;
        bool piped = false;
        try {
            piped = stream.pipeStreamData(&reader, &filtered, 0, qpdf_dl_generalized, true, false);
        } catch (const std::exception&) {
            // The reader's own stop, or qpdf's failure; told apart below.
        }
        if (scanner.Finished())
            return scanner.Result();
        if (!reader.Trouble().empty())
            return Judgement::Unknown(reader.Trouble());
        if (!piped || !filtered)
            return Judgement::Unknown("a content stream cannot be decoded");
    }
    reader.finish();
    return scanner.Result();
}

PdfContentColor::PdfContentColor(PdfColorJudge& judge, QPDFObjectHandle resources, const GraphicsState& state,
                                 int depth)
    : mJudge(judge), mResources(resources), mvecStates{state}, mintDepth(depth)
{
}

void PdfContentColor::HandleObject(QPDFObjectHandle object)
{
    if (Finished())
        return;
    if (object.isOperator()) {
        mOperator(object.getOperatorValue());
        mvecOperands.clear();
        return;
    }
    if (mvecOperands.size() < MAX_OPERANDS)
        mvecOperands.push_back(object);
}

void PdfContentColor::mOperator(const std::string& name)
{
    GraphicsState& state = mvecStates.back();
    if (name == "q") {
        if (mvecStates.size() < MAX_STATE_DEPTH)
            mvecStates.push_back(state);
    } else if (name == "Q") {
        if (mvecStates.size() > 1)
            mvecStates.pop_back();
    } else if (name == "g" || name == "G") {
        const bool stroke = name == "G";
        (stroke ? state.mStrokeSpace : state.mFillSpace) = PdfColorSpace{};
        (stroke ? state.mblnStrokeColor : state.mblnFillColor) = false;
    } else if (name == "rg" || name == "RG" || name == "k" || name == "K") {
        const bool stroke = name == "RG" || name == "K";
        PdfColorSpace space;
        space.mKind = name == "rg" || name == "RG" ? PdfColorSpace::Kind::Rgb : PdfColorSpace::Kind::Cmyk;
        (stroke ? state.mStrokeSpace : state.mFillSpace) = space;
        mSetColor(stroke);
    } else if (name == "cs" || name == "CS") {
        const bool stroke = name == "CS";
        if (mvecOperands.empty())
            return;
        PdfColorSpace space = ReadColorSpace(mvecOperands.back(), mResources);
        (stroke ? state.mblnStrokeColor : state.mblnFillColor) = space.InitialIsColor();
        (stroke ? state.mStrokeSpace : state.mFillSpace) = std::move(space);
    } else if (name == "sc" || name == "scn" || name == "SC" || name == "SCN") {
        const bool stroke = name[0] == 'S';
        if (!mvecOperands.empty() && mvecOperands.back().isName()) {
            const Judgement pattern = mPattern(mvecOperands.back().getName());
            if (pattern.meVerdict == ColorVerdict::Unknown)
                mTake(pattern);
            (stroke ? state.mblnStrokeColor : state.mblnFillColor) = pattern.meVerdict == ColorVerdict::Color;
        } else {
            mSetColor(stroke);
        }
    } else if (name == "Tr") {
        if (!mvecOperands.empty() && mvecOperands.back().isInteger())
            state.mintTextMode = mvecOperands.back().getIntValue();
    } else if (name == "f" || name == "F" || name == "f*") {
        mPaint(true, false);
    } else if (name == "S" || name == "s") {
        mPaint(false, true);
    } else if (name == "B" || name == "B*" || name == "b" || name == "b*") {
        mPaint(true, true);
    } else if (name == "Tj" || name == "TJ" || name == "'" || name == "\"") {
        const long long mode = state.mintTextMode % 4;
        mPaint(mode == 0 || mode == 2, mode == 1 || mode == 2);
    } else if (name == "sh") {
        if (!mvecOperands.empty() && mvecOperands.back().isName() &&
            mShadingIsColor(Resource(mResources, "/Shading", mvecOperands.back().getName())))
            mFound();
    } else if (name == "Do") {
        if (!mvecOperands.empty() && mvecOperands.back().isName())
            mTake(mXObject(mvecOperands.back().getName()));
    } else if (name == "ID") {
        if (mInlineImageIsColor())
            mFound();
    }
}

// sc, rg, k and the like: the current space's test of the operands.
void PdfContentColor::mSetColor(bool stroke)
{
    GraphicsState& state = mvecStates.back();
    const std::vector<double> numbers = mNumbers();
    (stroke ? state.mblnStrokeColor : state.mblnFillColor) =
        (stroke ? state.mStrokeSpace : state.mFillSpace).IsColor(numbers);
}

void PdfContentColor::mPaint(bool fill, bool stroke)
{
    const GraphicsState& state = mvecStates.back();
    if ((fill && state.mblnFillColor) || (stroke && state.mblnStrokeColor))
        mFound();
}

void PdfContentColor::mFound()
{
    mJudgement.meVerdict = ColorVerdict::Color;
}

void PdfContentColor::mTake(const Judgement& judgement)
{
    if (judgement.Decided() && !mJudgement.Decided())
        mJudgement = judgement;
}

// An image is colour when its pixels are; a stencil mask paints the fill
// colour; a form is followed into.
Judgement PdfContentColor::mXObject(const std::string& name)
{
    QPDFObjectHandle xobject = Resource(mResources, "/XObject", name);
    if (!xobject.isStream())
        return {};
    QPDFObjectHandle dict = xobject.getDict();
    const std::string subtype = dict.getKey("/Subtype").isName() ? dict.getKey("/Subtype").getName() : "";
    if (subtype == "/Image") {
        if (dict.getKey("/ImageMask").isBool() && dict.getKey("/ImageMask").getBoolValue())
            return {mvecStates.back().mblnFillColor ? ColorVerdict::Color : ColorVerdict::Mono, {}};
        QPDFObjectHandle space = dict.getKey("/ColorSpace");
        if (space.isNull())
            return {ColorVerdict::Color, {}};  // JPX images carry their space inside
        return mJudge.Image(xobject, ReadColorSpace(space, mResources));
    }
    if (subtype == "/Form")
        return mJudge.Nested(xobject, mResources, mvecStates.back(), mintDepth + 1);
    return {};
}

Judgement PdfContentColor::mPattern(const std::string& name)
{
    QPDFObjectHandle pattern = Resource(mResources, "/Pattern", name);
    QPDFObjectHandle dict = pattern.isStream() ? pattern.getDict() : pattern;
    if (!dict.isDictionary())
        return {};
    if (dict.getKey("/PatternType").isInteger() && dict.getKey("/PatternType").getIntValue() == 2)
        return {mShadingIsColor(dict.getKey("/Shading")) ? ColorVerdict::Color : ColorVerdict::Mono, {}};
    // A tiling pattern paints its own colours (paint type 1); one without
    // colours of its own (type 2) takes the components given with it.
    if (dict.getKey("/PaintType").isInteger() && dict.getKey("/PaintType").getIntValue() == 2)
        return {};
    if (!pattern.isStream())
        return {};
    return mJudge.Nested(pattern, mResources, mvecStates.back(), mintDepth + 1);
}

bool PdfContentColor::mShadingIsColor(QPDFObjectHandle shading)
{
    QPDFObjectHandle dict = shading.isStream() ? shading.getDict() : shading;
    if (!dict.isDictionary())
        return false;
    return ReadColorSpace(dict.getKey("/ColorSpace"), mResources).ImageMayBeColor();
}

// The inline image's dictionary entries are the operands of ID.
bool PdfContentColor::mInlineImageIsColor()
{
    QPDFObjectHandle space = QPDFObjectHandle::newName("/DeviceGray");
    bool mask = false;
    for (size_t index = 0; index + 1 < mvecOperands.size(); index += 2) {
        if (!mvecOperands[index].isName())
            continue;
        const std::string key = mvecOperands[index].getName();
        if (key == "/CS" || key == "/ColorSpace")
            space = mvecOperands[index + 1];
        else if ((key == "/IM" || key == "/ImageMask") && mvecOperands[index + 1].isBool())
            mask = mvecOperands[index + 1].getBoolValue();
    }
    if (mask)
        return mvecStates.back().mblnFillColor;
    return ReadColorSpace(space, mResources).ImageMayBeColor();
}

std::vector<double> PdfContentColor::mNumbers() const
{
    std::vector<double> numbers;
    for (QPDFObjectHandle operand : mvecOperands) {
        if (operand.isNumber())
            numbers.push_back(operand.getNumericValue());
    }
    return numbers;
}

}  // namespace RawPrintData::Pdf
