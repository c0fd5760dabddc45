#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pdf/document/ImageColor.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfShading.h"

#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <sstream>

namespace RawPrintData::Pdf {

namespace {

constexpr size_t MAX_OPERANDS = 256;  // an inline image's dictionary included
constexpr size_t MAX_STATE_DEPTH = 256;
constexpr size_t MAX_MARKED_DEPTH = 4096;
constexpr int MAX_ANNOTATIONS = 10000;
constexpr double POINTS_PER_MM = 72.0 / ColourRule::MM_PER_INCH;
constexpr double NO_STOP = std::numeric_limits<double>::infinity();
// The thinnest line a printer draws, in points: a line of width 0 prints
// one dot wide.
constexpr double THINNEST_LINE = 0.5;
// Around a glyph's origin, in ems: where its ink may lie.
constexpr double GLYPH_BELOW = 0.5;
constexpr double GLYPH_ABOVE = 1.5;

// A resource of a kind (/XObject, /Pattern, /Shading, /Font) by name, or null.
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
           (state.mblnFillColor ? 'f' : '-') + (state.mblnStrokeColor ? 's' : '-') +
           std::to_string(state.mintTextMode) + '/' + std::to_string(state.mdblLineWidth);
}

QPDFMatrix MatrixOf(QPDFObjectHandle array)
{
    return array.isMatrix() ? QPDFMatrix(array.getArrayAsMatrix()) : QPDFMatrix();
}

// The matrix that applies first, then after.
QPDFMatrix Then(const QPDFMatrix& first, const QPDFMatrix& after)
{
    QPDFMatrix result = after;
    result.concat(first);
    return result;
}

bool IsFlagSet(QPDFObjectHandle dict, const char* key)
{
    QPDFObjectHandle value = dict.getKey(key);
    return value.isBool() && value.getBoolValue();
}

std::string NameOf(QPDFObjectHandle object)
{
    return object.isName() ? object.getName() : std::string();
}

// The visible part of the page: its CropBox within its MediaBox. A page
// without a usable MediaBox (none, or one of no area) is printed on Letter
// wherever its marks lie, so none of them is ruled out.
PdfBox PageArea(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle media = page.getMediaBox(false);
    QPDFObjectHandle crop = page.getCropBox(false, false);
    PdfBox area = media.isRectangle() ? PdfBox::Of(media.getArrayAsRectangle()) : PdfBox::Nowhere();
    if (area.Area() <= 0)
        area = PdfBox::Everywhere();
    PdfBox cropped = crop.isRectangle() ? area.Intersected(PdfBox::Of(crop.getArrayAsRectangle())) : area;
    return cropped.Area() > 0 ? cropped : area;
}

// The matrix an annotation's appearance is drawn with on the page, as qpdf
// places it; false when the annotation does not print.
bool AppearanceMatrix(QPDFAnnotationObjectHelper& annotation, QPDFMatrix& matrix)
{
    const std::string content = annotation.getPageContentForAppearance("/A", 0, an_print, an_hidden);
    std::istringstream words(content);
    std::string q;
    double values[6];
    words >> q;
    for (double& value : values)
        words >> value;
    if (!words || q != "q")
        return false;
    matrix = QPDFMatrix(values[0], values[1], values[2], values[3], values[4], values[5]);
    return true;
}

Judgement Verdict(ColorVerdict verdict)
{
    Judgement judgement;
    judgement.meVerdict = verdict;
    return judgement;
}

}  // namespace

PdfColorJudge::PdfColorJudge(QPDF& pdf, InputSource& input, WorkBudget& budget)
    : mInput(input), mBudget(budget), mOptional(pdf)
{
}

template <typename Make> Judgement PdfColorJudge::mOnce(const std::string& key, Make make, double stopArea)
{
    if (key.empty())
        return make();
    const auto found = mCache.find(key);
    if (found != mCache.end() && (!found->second.mblnCut || found->second.mdblCutAt >= stopArea))
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
    QPDFObjectHandle unit = page.getKey("/UserUnit");
    const double scale = unit.isNumber() && unit.getNumericValue() > 0 ? unit.getNumericValue() : 1.0;
    const double minimum = ColourRule::MINIMUM_COLOUR_AREA_MM2 * POINTS_PER_MM * POINTS_PER_MM / (scale * scale);
    GraphicsState initial;
    initial.mClip = PageArea(helper);
    // Pages that share their content, resources and visible area are judged once.
    const std::string contentsId = Identity(contents);
    const bool resourcesKnown = resources.isIndirect() || resources.isNull();
    const PdfBox& area = initial.mClip;
    const std::string key = contentsId.empty() || !resourcesKnown
                                ? std::string()
                                : "page " + contentsId + " " + Identity(resources) + " " +
                                      std::to_string(area.mdblX0) + " " + std::to_string(area.mdblY0) + " " +
                                      std::to_string(area.mdblX1) + " " + std::to_string(area.mdblY1) + " " +
                                      std::to_string(scale);
    Judgement judgement =
        mOnce(key, [&] { return mRead(contents, resources, initial, 0, minimum, false); }, minimum);
    // Annotations that print are drawn over the page with their appearance.
    QPDFObjectHandle annotations = page.getKey("/Annots");
    const int count = annotations.isArray() ? std::min(annotations.getArrayNItems(), MAX_ANNOTATIONS) : 0;
    for (int index = 0; index < count && judgement.meVerdict != ColorVerdict::Unknown &&
                        judgement.mMarks.mdblArea < minimum;
         ++index) {
        QPDFObjectHandle annotation = annotations.getArrayItem(index);
        if (!annotation.isDictionary() || mOptional.IsHidden(annotation.getKey("/OC")))
            continue;
        QPDFAnnotationObjectHelper appearance(annotation);
        QPDFMatrix matrix;
        QPDFObjectHandle form = appearance.getAppearanceStream("/N");
        if (!form.isStream() || !AppearanceMatrix(appearance, matrix))
            continue;
        const Judgement drawn = Nested(form, resources, GraphicsState{}, 1);
        if (drawn.meVerdict == ColorVerdict::Unknown)
            return drawn;
        if (drawn.mMarks.IsEmpty())
            continue;
        const PdfBox box = drawn.mMarks.mBox.Transformed(matrix).Intersected(area);
        if (!box.IsEmpty())
            judgement.mMarks.Add(box, std::min(drawn.mMarks.mdblArea * AreaScale(matrix), box.Area()));
    }
    if (judgement.meVerdict != ColorVerdict::Unknown)
        judgement.meVerdict = judgement.mMarks.mdblArea >= minimum ? ColorVerdict::Color : ColorVerdict::Mono;
    return judgement;
}

Judgement PdfColorJudge::Nested(QPDFObjectHandle stream, QPDFObjectHandle resources, const GraphicsState& state,
                                int depth, bool uncolored, double stopArea)
{
    QPDFObjectHandle dict = stream.getDict();
    QPDFObjectHandle own = dict.getKey("/Resources");
    const bool inherited = !own.isDictionary();
    const std::string id = Identity(stream);
    const std::string key = id.empty() || (inherited && !resources.isIndirect() && !resources.isNull())
                                ? std::string()
                                : "form " + id + " " + (inherited ? Identity(resources) : "own") + " " +
                                      StateKey(state) + (uncolored ? " d1" : "");
    return mOnce(key, [&] {
        if (depth > MAX_NESTING)
            return Judgement::Unknown("forms or patterns nested more than " + std::to_string(MAX_NESTING) + " deep");
        // A form starts in the space it is drawn in, moved by its matrix and
        // clipped to its box.
        GraphicsState start = state;
        start.mCtm = MatrixOf(dict.getKey("/Matrix"));
        QPDFObjectHandle bounds = dict.getKey("/BBox");
        start.mClip = bounds.isRectangle() ? PdfBox::Of(bounds.getArrayAsRectangle()).Transformed(start.mCtm)
                                           : PdfBox::Everywhere();
        return mRead(stream, inherited ? resources : own, start, depth, stopArea, uncolored);
    }, stopArea);
}

Judgement PdfColorJudge::Image(QPDFObjectHandle image, const PdfColorSpace& space, double stopShare)
{
    const std::string id = Identity(image);
    return mOnce(id.empty() ? id : "image " + id + " " + SpaceKey(space),
                 [&] { return JudgeImage(image, space, mBudget, stopShare); }, stopShare);
}

bool PdfColorJudge::ShadingIsColor(QPDFObjectHandle shading, QPDFObjectHandle resources)
{
    // A shading's colour space may be a name of the resources it is used with.
    const std::string id = Identity(shading);
    const std::string key = id.empty() ? id : id + " " + Identity(resources);
    const auto found = key.empty() ? mShadings.end() : mShadings.find(key);
    if (found != mShadings.end())
        return found->second;
    const bool color = ShadingMayBeColor(shading, resources, mBudget);
    if (!key.empty())
        mShadings.emplace(key, color);
    return color;
}

Judgement PdfColorJudge::InlineImage(const std::string& data, QPDFObjectHandle dictionary, const PdfColorSpace& space,
                                     double stopShare)
{
    if (!mScratch) {
        mScratch = std::make_unique<QPDF>();
        mScratch->emptyPDF();
        mInlineStream = QPDFObjectHandle::newStream(mScratch.get(), std::string());
    }
    // The scratch document takes copies of the values, not the page's objects.
    const auto copy = [&dictionary](const char* key) {
        return QPDFObjectHandle::parse(dictionary.getKey(key).unparse());
    };
    mInlineStream.replaceStreamData(data, copy("/Filter"), copy("/DecodeParms"));
    for (const char* key : {"/BitsPerComponent", "/Width", "/Height", "/Decode"})
        mInlineStream.getDict().replaceKey(key, copy(key));
    return JudgeImage(mInlineStream, space, mBudget, stopShare);
}

Judgement PdfColorJudge::mRead(QPDFObjectHandle contents, QPDFObjectHandle resources, const GraphicsState& state,
                               int depth, double stopArea, bool uncolored)
{
    if (mBudget.Exhausted())
        return Judgement::Unknown(mBudget.Describe());
    std::vector<QPDFObjectHandle> streams;
    if (contents.isArray())
        streams = contents.getArrayAsVector();
    else
        streams.push_back(contents);
    PdfContentColor scanner(*this, resources, state, depth, stopArea, uncolored);
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
                                 int depth, double stopArea, bool uncolored)
    : mJudge(judge), mResources(resources), mvecStates{state}, mintDepth(depth), mdblStopArea(stopArea),
      mblnUncolored(uncolored)
{
}

bool PdfContentColor::Finished() const
{
    return mTrouble.meVerdict == ColorVerdict::Unknown || mMarks.mdblArea >= mdblStopArea;
}

Judgement PdfContentColor::Result() const
{
    Judgement judgement = mTrouble;
    if (judgement.meVerdict != ColorVerdict::Unknown)
        judgement.meVerdict = mMarks.IsEmpty() ? ColorVerdict::Mono : ColorVerdict::Color;
    judgement.mMarks = mMarks;
    judgement.mblnCut = mMarks.mdblArea >= mdblStopArea;
    judgement.mdblCutAt = mdblStopArea;
    return judgement;
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
    if (object.isInlineImage()) {
        mInlineImage(object);
        return;
    }
    if (mvecOperands.size() < MAX_OPERANDS)
        mvecOperands.push_back(object);
}

void PdfContentColor::mOperator(const std::string& name)
{
    GraphicsState& state = mvecStates.back();
    if (mPathOperator(name) || mTextOperator(name))
        return;
    const bool colourOperator = name == "g" || name == "G" || name == "rg" || name == "RG" || name == "k" ||
                                name == "K" || name == "cs" || name == "CS" || name == "sc" || name == "scn" ||
                                name == "SC" || name == "SCN";
    if (colourOperator && mblnUncolored)
        return;
    if (name == "q") {
        if (mvecStates.size() < MAX_STATE_DEPTH)
            mvecStates.push_back(state);
    } else if (name == "Q") {
        if (mvecStates.size() > 1)
            mvecStates.pop_back();
    } else if (name == "cm") {
        const std::vector<double> numbers = mNumbers();
        if (numbers.size() == 6)
            state.mCtm = Then(QPDFMatrix(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]),
                              state.mCtm);
    } else if (name == "w") {
        const std::vector<double> numbers = mNumbers();
        if (numbers.size() == 1)
            state.mdblLineWidth = std::fabs(numbers[0]);
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
            const Judgement pattern = mPattern(mvecOperands.back().getName(), stroke);
            if (pattern.meVerdict == ColorVerdict::Unknown)
                mTrouble = pattern;
            (stroke ? state.mblnStrokeColor : state.mblnFillColor) = pattern.meVerdict == ColorVerdict::Color;
        } else {
            mSetColor(stroke);
        }
    } else if (name == "sh") {
        if (mvecOperands.empty() || !mvecOperands.back().isName())
            return;
        QPDFObjectHandle shading = Resource(mResources, "/Shading", mvecOperands.back().getName());
        if (!mJudge.ShadingIsColor(shading, mResources))
            return;
        QPDFObjectHandle dict = shading.isStream() ? shading.getDict() : shading;
        QPDFObjectHandle bounds = dict.isDictionary() ? dict.getKey("/BBox") : QPDFObjectHandle::newNull();
        const PdfBox box = bounds.isRectangle() ? PdfBox::Of(bounds.getArrayAsRectangle()).Transformed(state.mCtm)
                                                : PdfBox::Everywhere();
        mAddMark(box, std::numeric_limits<double>::max());
    } else if (name == "Do") {
        if (!mvecOperands.empty() && mvecOperands.back().isName())
            mXObject(mvecOperands.back().getName());
    } else if (name == "ID") {
        mvecInlineDictionary = mvecOperands;
        mblnInlinePending = true;
    } else if (name == "EI") {
        // Samples too many to hold: judged by the space alone.
        if (mblnInlinePending)
            mInlineImage(QPDFObjectHandle::newNull());
    } else if (name == "BMC" || name == "BDC" || name == "EMC") {
        mMarkedContent(name);
    } else if (name == "d1") {
        mblnUncolored = true;
    }
}

bool PdfContentColor::mPathOperator(const std::string& name)
{
    const std::vector<double> numbers =
        name.size() <= 2 && std::string_view("mlcvyre").find(name[0]) != std::string_view::npos ? mNumbers()
                                                                                               : std::vector<double>();
    if (name == "m" || name == "l" || name == "c" || name == "v" || name == "y") {
        for (size_t index = 0; index + 1 < numbers.size(); index += 2)
            mPath.Include(numbers[index], numbers[index + 1]);
    } else if (name == "re") {
        if (numbers.size() == 4) {
            mPath.Include(numbers[0], numbers[1]);
            mPath.Include(numbers[0] + numbers[2], numbers[1] + numbers[3]);
        }
    } else if (name == "W" || name == "W*") {
        mblnClipPending = true;
    } else if (name == "f" || name == "F" || name == "f*") {
        mPaint(true, false);
    } else if (name == "S" || name == "s") {
        mPaint(false, true);
    } else if (name == "B" || name == "B*" || name == "b" || name == "b*") {
        mPaint(true, true);
    } else if (name == "n") {
        mPaint(false, false);
    } else {
        return false;
    }
    return true;
}

bool PdfContentColor::mTextOperator(const std::string& name)
{
    if (name.empty() || (name[0] != 'T' && name != "BT" && name != "'" && name != "\""))
        return false;
    GraphicsState& state = mvecStates.back();
    // The operators that take numbers.
    const bool numeric = name == "Tc" || name == "Tw" || name == "Tz" || name == "TL" || name == "Ts" ||
                         name == "Td" || name == "TD" || name == "Tm";
    const std::vector<double> numbers = numeric ? mNumbers() : std::vector<double>();
    const auto nextLine = [&](double x, double y) {
        QPDFMatrix line = mTextLine;
        mTextLine = Then(QPDFMatrix(1, 0, 0, 1, x, y), line);
        mTextMatrix = mTextLine;
        mdblLineAdvance = 0;
    };
    if (name == "BT") {
        mTextMatrix = mTextLine = QPDFMatrix();
        mdblLineAdvance = 0;
    } else if (name == "Tf") {
        if (mvecOperands.size() == 2 && mvecOperands[0].isName() && mvecOperands[1].isNumber()) {
            state.mFont = Resource(mResources, "/Font", mvecOperands[0].getName());
            state.mblnType3Font = state.mFont.isDictionary() && NameOf(state.mFont.getKey("/Subtype")) == "/Type3";
            state.mdblFontSize = mvecOperands[1].getNumericValue();
        }
    } else if (name == "Tc" || name == "Tw" || name == "Tz" || name == "TL" || name == "Ts") {
        if (numbers.size() != 1)
            return true;
        double& value = name == "Tc"   ? state.mdblCharSpacing
                        : name == "Tw" ? state.mdblWordSpacing
                        : name == "Tz" ? state.mdblHorizontalScale
                        : name == "TL" ? state.mdblLeading
                                       : state.mdblRise;
        value = name == "Tz" ? numbers[0] / 100.0 : numbers[0];
    } else if (name == "Tr") {
        if (!mvecOperands.empty() && mvecOperands.back().isInteger())
            state.mintTextMode = mvecOperands.back().getIntValue();
    } else if (name == "Td" || name == "TD") {
        if (numbers.size() == 2) {
            if (name == "TD")
                state.mdblLeading = -numbers[1];
            nextLine(numbers[0], numbers[1]);
        }
    } else if (name == "Tm") {
        if (numbers.size() == 6) {
            mTextMatrix = mTextLine = QPDFMatrix(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]);
            mdblLineAdvance = 0;
        }
    } else if (name == "T*") {
        nextLine(0, -state.mdblLeading);
    } else if (name == "Tj" || name == "'" || name == "\"") {
        if (name != "Tj")
            nextLine(0, -state.mdblLeading);
        if (name == "\"" && mvecOperands.size() == 3 && mvecOperands[0].isNumber() && mvecOperands[1].isNumber()) {
            state.mdblWordSpacing = mvecOperands[0].getNumericValue();
            state.mdblCharSpacing = mvecOperands[1].getNumericValue();
        }
        if (!mvecOperands.empty() && mvecOperands.back().isString()) {
            const std::string text = mvecOperands.back().getStringValue();
            mShowText(static_cast<long long>(text.size()), 0, text);
        } else if (!mvecOperands.empty() && mvecOperands.back().isNull()) {
            mShowLongText();
        }
    } else if (name == "TJ") {
        if (!mvecOperands.empty() && mvecOperands.back().isNull())
            mShowLongText();
        if (mvecOperands.empty() || !mvecOperands.back().isArray())
            return true;
        // Only a Type 3 font's glyphs are looked at; other text counts its bytes.
        std::string text;
        long long bytes = 0;
        double adjustment = 0;
        for (QPDFObjectHandle item : mvecOperands.back().getArrayAsVector()) {
            if (item.isString()) {
                const std::string part = item.getStringValue();
                bytes += static_cast<long long>(part.size());
                if (state.mblnType3Font)
                    text += part;
            } else if (item.isInteger()) {
                adjustment += std::fabs(static_cast<double>(item.getIntValue())) / 1000.0;
            } else if (item.isNumber()) {
                adjustment += std::fabs(item.getNumericValue()) / 1000.0;
            }
        }
        mShowText(bytes, adjustment, text);
    } else {
        return false;
    }
    return true;
}

// sc, rg, k and the like: the current space's test of the operands.
void PdfContentColor::mSetColor(bool stroke)
{
    GraphicsState& state = mvecStates.back();
    const std::vector<double> numbers = mNumbers();
    (stroke ? state.mblnStrokeColor : state.mblnFillColor) =
        (stroke ? state.mStrokeSpace : state.mFillSpace).IsColor(numbers);
}

// A path painting operator (n included): a mark where the painted colour is
// not neutral, the path's box grown by the line for a stroke; then the clip.
void PdfContentColor::mPaint(bool fill, bool stroke)
{
    GraphicsState& state = mvecStates.back();
    const bool fillColor = fill && state.mblnFillColor;
    const bool strokeColor = stroke && state.mblnStrokeColor;
    if (!mPath.IsEmpty() && (fillColor || strokeColor)) {
        PdfBox box = mPath;
        if (strokeColor) {
            const double scale = std::sqrt(AreaScale(state.mCtm));
            const double thinnest = scale > 0 ? THINNEST_LINE / scale : 0;
            // A whole line width on every side holds the caps and most joins.
            box = box.Grown(std::max(state.mdblLineWidth, thinnest));
        }
        const PdfBox onPage = box.Transformed(state.mCtm);
        mAddMark(onPage, onPage.Area());
    }
    if (mblnClipPending && !mPath.IsEmpty())
        state.mClip = state.mClip.Intersected(mPath.Transformed(state.mCtm));
    mblnClipPending = false;
    mPath = PdfBox::Nowhere();
}

// Text: each byte may be a glyph of up to an em, with the spacing added;
// the box runs from where the line began to past the last glyph.
void PdfContentColor::mShowText(long long bytes, double adjustment, const std::string& text)
{
    GraphicsState& state = mvecStates.back();
    const double size = std::fabs(state.mdblFontSize);
    if (bytes <= 0 || size <= 0)
        return;
    const bool type3 = state.mblnType3Font;
    double em = 1.0;
    if (type3) {
        // Glyph widths of a Type 3 font are in its own units.
        const QPDFMatrix fontMatrix = MatrixOf(state.mFont.getKey("/FontMatrix"));
        QPDFObjectHandle widths = state.mFont.getKey("/Widths");
        double widest = 0;
        if (widths.isArray()) {
            for (QPDFObjectHandle width : widths.getArrayAsVector())
                widest = std::max(widest, width.isNumber() ? std::fabs(width.getNumericValue()) : 0.0);
        }
        em = std::max(1.0, widest * std::fabs(fontMatrix.a));
    }
    const double spacing = (std::fabs(state.mdblCharSpacing) + std::fabs(state.mdblWordSpacing)) / size;
    const double advance = static_cast<double>(bytes) * (em + spacing) + adjustment;
    const PdfBox extent{-GLYPH_BELOW * em - mdblLineAdvance, -GLYPH_BELOW * em, advance + GLYPH_BELOW * em,
                        GLYPH_ABOVE * em};
    // The text matrix stays at the show's start: the next show's box runs
    // back to here.
    mdblLineAdvance += advance;
    const long long mode = state.mintTextMode % 4;
    const bool fill = mode == 0 || mode == 2;
    const bool stroke = mode == 1 || mode == 2;
    if (!type3 && !((fill && state.mblnFillColor) || (stroke && state.mblnStrokeColor)))
        return;
    const QPDFMatrix rendering =
        Then(Then(QPDFMatrix(size * state.mdblHorizontalScale, 0, 0, size, 0, state.mdblRise), mTextMatrix),
             state.mCtm);
    if (type3) {
        mShowType3(text, extent, rendering);
        return;
    }
    const PdfBox onPage = extent.Transformed(rendering);
    mAddMark(onPage, onPage.Area());
}

// Text too long for the reader to hand on: as long as the longest it hands
// on; a Type 3 font's glyphs, unknown, count as colour.
void PdfContentColor::mShowLongText()
{
    if (!mvecStates.back().mblnType3Font) {
        mShowText(static_cast<long long>(ContentStreamReader::MAX_COMPOSITE_BYTES), 0, std::string());
        return;
    }
    mAddMark(PdfBox::Everywhere(), std::numeric_limits<double>::max());
}

// A Type 3 font's glyphs are content streams of their own.
void PdfContentColor::mShowType3(const std::string& text, const PdfBox& extent, const QPDFMatrix& rendering)
{
    QPDFObjectHandle font = mvecStates.back().mFont;
    QPDFObjectHandle procedures = font.getKey("/CharProcs");
    QPDFObjectHandle encoding = font.getKey("/Encoding");
    QPDFObjectHandle differences = encoding.isDictionary() ? encoding.getKey("/Differences") : encoding;
    QPDFObjectHandle resources = font.getKey("/Resources");
    if (!resources.isDictionary())
        resources = mResources;
    const QPDFMatrix fontMatrix = MatrixOf(font.getKey("/FontMatrix"));
    if (!procedures.isDictionary() || !differences.isArray())
        return;
    // The glyph name of each code the text uses.
    bool used[256] = {};
    for (const char byte : text)
        used[static_cast<unsigned char>(byte)] = true;
    PdfMarks glyphs;
    long long code = 0;
    for (QPDFObjectHandle item : differences.getArrayAsVector()) {
        if (item.isInteger()) {
            code = item.getIntValue();
            continue;
        }
        if (item.isName() && code >= 0 && code < 256 && used[code]) {
            QPDFObjectHandle procedure = procedures.getKey(item.getName());
            const Judgement drawn = procedure.isStream()
                                        ? mJudge.Nested(procedure, resources, mvecStates.back(), mintDepth + 1)
                                        : Judgement{};
            if (drawn.meVerdict == ColorVerdict::Unknown) {
                mTake(drawn, QPDFMatrix());
                return;
            }
            const PdfMarks& marks = drawn.mMarks;
            if (!marks.IsEmpty()) {
                glyphs.Add(marks.mBox.Transformed(fontMatrix),
                           marks.mdblArea * AreaScale(fontMatrix) * static_cast<double>(std::count(
                                                                        text.begin(), text.end(), char(code))));
            }
        }
        ++code;
    }
    if (glyphs.IsEmpty())
        return;
    // The glyphs' ink lies from the line's start to past the last glyph.
    PdfBox box = extent.United(glyphs.mBox).United(
        PdfBox{glyphs.mBox.mdblX0 + extent.mdblX1, glyphs.mBox.mdblY0, glyphs.mBox.mdblX1 + extent.mdblX1,
               glyphs.mBox.mdblY1});
    box = box.United(PdfBox{glyphs.mBox.mdblX0 + extent.mdblX0, glyphs.mBox.mdblY0,
                            glyphs.mBox.mdblX1 + extent.mdblX0, glyphs.mBox.mdblY1});
    mAddMark(box.Transformed(rendering), glyphs.mdblArea * AreaScale(rendering));
}

// A mark in the stream's space: what of it lies within the clip, no more
// than its area.
void PdfContentColor::mAddMark(const PdfBox& box, double area)
{
    if (mIsHidden())
        return;
    const PdfBox visible = box.Intersected(mvecStates.back().mClip);
    if (visible.IsEmpty())
        return;
    mMarks.Add(visible, std::min(area, visible.Area()));
}

void PdfContentColor::mTake(const Judgement& judgement, const QPDFMatrix& matrix)
{
    if (judgement.meVerdict == ColorVerdict::Unknown) {
        if (mTrouble.meVerdict != ColorVerdict::Unknown)
            mTrouble = judgement;
        return;
    }
    if (!judgement.mMarks.IsEmpty())
        mAddMark(judgement.mMarks.mBox.Transformed(matrix), judgement.mMarks.mdblArea * AreaScale(matrix));
}

bool PdfContentColor::mWouldFinish(const Judgement& judgement, const QPDFMatrix& matrix) const
{
    if (mIsHidden() || judgement.mMarks.IsEmpty())
        return false;
    const PdfBox visible = judgement.mMarks.mBox.Transformed(matrix).Intersected(mvecStates.back().mClip);
    return mMarks.mdblArea + std::min(judgement.mMarks.mdblArea * AreaScale(matrix), visible.Area()) >= mdblStopArea;
}

void PdfContentColor::mXObject(const std::string& name)
{
    QPDFObjectHandle xobject = Resource(mResources, "/XObject", name);
    if (!xobject.isStream() || mIsHidden())
        return;
    QPDFObjectHandle dict = xobject.getDict();
    if (mJudge.OptionalContent().IsHidden(dict.getKey("/OC")))
        return;
    const std::string subtype = NameOf(dict.getKey("/Subtype"));
    if (subtype == "/Image") {
        // A stencil mask paints the fill colour.
        if (IsFlagSet(dict, "/ImageMask")) {
            mImage(Verdict(mvecStates.back().mblnFillColor ? ColorVerdict::Color : ColorVerdict::Mono));
            return;
        }
        QPDFObjectHandle space = dict.getKey("/ColorSpace");
        // JPX images carry their space inside.
        if (space.isNull()) {
            mImage(Verdict(ColorVerdict::Color));
            return;
        }
        const PdfColorSpace colors = ReadColorSpace(space, mResources);
        mImage([&](double stopShare) { return mJudge.Image(xobject, colors, stopShare); });
    } else if (subtype == "/Form") {
        // The form may stop once its marks would finish this reading; if what
        // it found does not (clipped, outside the page), it is read whole.
        const QPDFMatrix ctm = mvecStates.back().mCtm;
        const double scale = AreaScale(ctm);
        const double need = scale > 0 ? (mdblStopArea - mMarks.mdblArea) / scale : NO_STOP;
        Judgement drawn = mJudge.Nested(xobject, mResources, mvecStates.back(), mintDepth + 1, mblnUncolored, need);
        if (drawn.mblnCut && !mWouldFinish(drawn, ctm))
            drawn = mJudge.Nested(xobject, mResources, mvecStates.back(), mintDepth + 1, mblnUncolored);
        mTake(drawn, ctm);
    }
}

// An image fills the unit square of user space; a colour one without marks
// (a stencil mask, an image whose pixels cannot be counted) fills it whole.
void PdfContentColor::mImage(const Judgement& judgement)
{
    if (judgement.meVerdict == ColorVerdict::Unknown) {
        mTake(judgement, QPDFMatrix());
        return;
    }
    if (judgement.meVerdict != ColorVerdict::Color)
        return;
    const QPDFMatrix& ctm = mvecStates.back().mCtm;
    if (judgement.mMarks.IsEmpty())
        mAddMark(PdfBox{0, 0, 1, 1}.Transformed(ctm), AreaScale(ctm));
    else
        mTake(judgement, ctm);
}

// An image whose pixels are counted: judged up to the share that would
// finish this reading, and whole if what that found does not (clipped).
void PdfContentColor::mImage(const std::function<Judgement(double)>& judge)
{
    const QPDFMatrix ctm = mvecStates.back().mCtm;
    const double scale = AreaScale(ctm);
    Judgement judged = judge(scale > 0 ? (mdblStopArea - mMarks.mdblArea) / scale : NO_STOP);
    if (judged.mblnCut && !mWouldFinish(judged, ctm))
        judged = judge(NO_STOP);
    mImage(judged);
}

// Whether a pattern paints colour: a shading's colours, a coloured tiling
// pattern's own marks, or the colour an uncoloured one is given.
Judgement PdfContentColor::mPattern(const std::string& name, bool stroke)
{
    QPDFObjectHandle pattern = Resource(mResources, "/Pattern", name);
    QPDFObjectHandle dict = pattern.isStream() ? pattern.getDict() : pattern;
    if (!dict.isDictionary())
        return {};
    QPDFObjectHandle type = dict.getKey("/PatternType");
    if (type.isInteger() && type.getIntValue() == 2)
        return Verdict(mJudge.ShadingIsColor(dict.getKey("/Shading"), mResources) ? ColorVerdict::Color
                                                                               : ColorVerdict::Mono);
    QPDFObjectHandle paintType = dict.getKey("/PaintType");
    if (paintType.isInteger() && paintType.getIntValue() == 2) {
        // The components before the name, in the space given with /Pattern.
        const GraphicsState& state = mvecStates.back();
        const PdfColorSpace& space = stroke ? state.mStrokeSpace : state.mFillSpace;
        const bool color = space.mvecPatternBase.empty() || space.mvecPatternBase.front().IsColor(mNumbers());
        return Verdict(color ? ColorVerdict::Color : ColorVerdict::Mono);
    }
    if (!pattern.isStream())
        return {};
    // A coloured pattern sets its own colours, from black.
    return mJudge.Nested(pattern, mResources, GraphicsState{}, mintDepth + 1);
}

// An inline image: its dictionary was given before ID, its samples now (null
// when they were too many to hold).
void PdfContentColor::mInlineImage(QPDFObjectHandle data)
{
    mblnInlinePending = false;
    if (mIsHidden())
        return;
    QPDFObjectHandle space = QPDFObjectHandle::newName("/DeviceGray");
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    static const std::map<std::string, std::string> KEYS = {
        {"/BPC", "/BitsPerComponent"}, {"/CS", "/ColorSpace"}, {"/D", "/Decode"},   {"/DP", "/DecodeParms"},
        {"/F", "/Filter"},             {"/H", "/Height"},      {"/IM", "/ImageMask"}, {"/W", "/Width"}};
    static const std::map<std::string, std::string> FILTERS = {
        {"/AHx", "/ASCIIHexDecode"}, {"/A85", "/ASCII85Decode"},   {"/LZW", "/LZWDecode"},
        {"/Fl", "/FlateDecode"},     {"/RL", "/RunLengthDecode"}, {"/CCF", "/CCITTFaxDecode"},
        {"/DCT", "/DCTDecode"}};
    const auto filterName = [&](QPDFObjectHandle name) {
        const auto found = name.isName() ? FILTERS.find(name.getName()) : FILTERS.end();
        return found == FILTERS.end() ? name : QPDFObjectHandle::newName(found->second);
    };
    for (size_t index = 0; index + 1 < mvecInlineDictionary.size(); index += 2) {
        if (!mvecInlineDictionary[index].isName())
            continue;
        std::string key = mvecInlineDictionary[index].getName();
        const auto full = KEYS.find(key);
        if (full != KEYS.end())
            key = full->second;
        QPDFObjectHandle value = mvecInlineDictionary[index + 1];
        if (key == "/Filter") {
            if (value.isArray()) {
                QPDFObjectHandle filters = QPDFObjectHandle::newArray();
                for (QPDFObjectHandle item : value.getArrayAsVector())
                    filters.appendItem(filterName(item));
                value = filters;
            } else {
                value = filterName(value);
            }
        }
        if (key == "/ColorSpace")
            space = value;
        dict.replaceKey(key, value);
    }
    mvecInlineDictionary.clear();
    if (IsFlagSet(dict, "/ImageMask")) {
        mImage(Verdict(mvecStates.back().mblnFillColor ? ColorVerdict::Color : ColorVerdict::Mono));
        return;
    }
    const PdfColorSpace colors = ReadColorSpace(space, mResources);
    if (!colors.ImageMayBeColor())
        return;
    if (!data.isInlineImage()) {
        mImage(Verdict(ColorVerdict::Color));
        return;
    }
    const std::string samples = data.getInlineImageValue();
    mImage([&](double stopShare) { return mJudge.InlineImage(samples, dict, colors, stopShare); });
}

// Marked content: what is marked with hidden optional content does not
// print, up to its end.
void PdfContentColor::mMarkedContent(const std::string& name)
{
    if (name == "EMC") {
        if (!mvecMarkedHidden.empty()) {
            mintHiddenDepth -= mvecMarkedHidden.back() ? 1 : 0;
            mvecMarkedHidden.pop_back();
        }
        return;
    }
    bool hidden = false;
    if (name == "BDC" && mvecOperands.size() == 2 && NameOf(mvecOperands[0]) == "/OC") {
        QPDFObjectHandle properties = mvecOperands[1];
        if (properties.isName())
            properties = Resource(mResources, "/Properties", properties.getName());
        hidden = mJudge.OptionalContent().IsHidden(properties);
    }
    if (mvecMarkedHidden.size() < MAX_MARKED_DEPTH) {
        mvecMarkedHidden.push_back(hidden);
        mintHiddenDepth += hidden ? 1 : 0;
    }
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
