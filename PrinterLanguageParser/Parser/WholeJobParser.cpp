#include "PrinterLanguageParser/Parser/WholeJobParser.h"

#include "PrinterLanguageParser/Parser/PaperName.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace RawPrintData {

// Takes the chunk: the job is read whole at the end.
ParseDataResultType WholeJobParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = buffer.Length();
    return PARSE_RESULT_HANDLED;
}

ParseDataResultType WholeJobParser::ParseDone()
{
    const IJobBytes* job = mFindJobBytes();
    if (job == nullptr) {
        Log(LOG_ERROR, "%s::ParseDone - The job's bytes are not available, so the job cannot be read.", mstrName);
        return PARSE_RESULT_FAILURE;
    }
    const uint64_t start = FindInJobBytes(*job, mstrSignature, MAX_SIGNATURE_OFFSET);
    if (start == DataBuffer::npos) {
        Log(LOG_ERROR, "%s::ParseDone - The job's bytes do not hold the format's signature.", mstrName);
        return PARSE_RESULT_FAILURE;
    }
    const JobBytesFrom from(*job, start);
    return ReadJob(from);
}

void WholeJobParser::ReportPage(double widthPoints, double heightPoints, bool color, bool imageableArea)
{
    static constexpr double TENTHS_MM_PER_POINT = 254.0 / 72.0;
    static constexpr double MAX_TENTHS = 1e7;  // 1 km: anything larger is no paper
    const auto tenths = [](double points) {
        const double value = std::fabs(points) * TENTHS_MM_PER_POINT;
        return static_cast<int32_t>(std::isfinite(value) ? std::lround(std::min(value, MAX_TENTHS)) : 0);
    };
    const int32_t width = tenths(widthPoints);
    const int32_t height = tenths(heightPoints);
    CRawPage page;
    page.mblnColor = color;
    // Sizes from PDF and raster headers are rounded from points or pixels.
    constexpr int32_t tolerance = 10;
    const KnownPaper* paper =
        imageableArea ? SmallestKnownPaperHolding(width, height, tolerance) : FindKnownPaper(width, height, tolerance);
    if (paper) {
        page.SetName(paper->mstrName);
        page.mintWidth = paper->mintWidth;
        page.mintHeight = paper->mintHeight;
    } else {
        page.SetName("Custom");
        page.mintWidth = std::min(width, height);
        page.mintHeight = std::max(width, height);
    }
    NotifyPageCompleted(page);
}

// The first listener that has the job's bytes.
const IJobBytes* WholeJobParser::mFindJobBytes() const
{
    for (const IRawDataParserListener* listener : mvecListeners) {
        if (listener != nullptr && listener->GetJobBytes() != nullptr)
            return listener->GetJobBytes();
    }
    return nullptr;
}

// Reads the job's start in pieces that overlap by the pattern's length less
// one, so a pattern across two pieces is found.
uint64_t FindInJobBytes(const IJobBytes& job, std::string_view bytes, uint64_t limit)
{
    constexpr size_t PIECE = 64 * 1024;
    if (bytes.empty() || bytes.size() > PIECE)
        return DataBuffer::npos;
    std::vector<unsigned char> piece(PIECE);
    const uint64_t end = std::min(job.Size(), limit);
    for (uint64_t offset = 0; offset < end;) {
        const int64_t read = job.ReadAt(offset, piece);
        if (read <= 0)
            break;
        const std::string_view text(reinterpret_cast<const char*>(piece.data()), static_cast<size_t>(read));
        const size_t found = text.find(bytes);
        if (found != std::string_view::npos)
            return offset + found;
        if (static_cast<size_t>(read) < bytes.size())
            break;
        offset += static_cast<uint64_t>(read) - (bytes.size() - 1);
    }
    return DataBuffer::npos;
}

}  // namespace RawPrintData
