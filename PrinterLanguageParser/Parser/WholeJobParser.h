#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"

#include <string_view>

namespace RawPrintData {

// Base of the parsers of formats that can only be read whole (PDF, and the
// raster formats that the CUPS library reads by pulling bytes). While the job
// streams in it only takes the chunks, so it keeps nothing and its result
// cannot depend on where the job was cut. At ParseDone it asks its listener
// for the whole job's bytes, finds where its format begins (after a PJL
// header, for example) and reads the job from there.
class WholeJobParser : public IRawDataParser {
public:
    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override;
    void NotifyDefaultPageCompleted() override {}

    // How far into the job the format's signature is looked for.
    static constexpr uint64_t MAX_SIGNATURE_OFFSET = 1024 * 1024;

protected:
    // signature: the bytes the format begins with; name: for the log lines.
    WholeJobParser(std::string_view signature, const char* name) : mstrSignature(signature), mstrName(name) {}

    // Reads the format; job starts at its signature.
    virtual ParseDataResultType ReadJob(const IJobBytes& job) = 0;

    const char* Name() const { return mstrName; }

    // Reports a finished page of a size in points. The paper is the standard
    // one of that size (or, for an imageable area, the smallest that holds
    // it), portrait, whichever way round the page is drawn: a landscape page
    // prints on the same sheet. Any other size is "Custom".
    void ReportPage(double widthPoints, double heightPoints, bool color, bool imageableArea = false);

private:
    const IJobBytes* mFindJobBytes() const;

    std::string_view mstrSignature;
    const char* mstrName;
};

// The bytes of a job from an offset on.
class JobBytesFrom final : public IJobBytes {
public:
    JobBytesFrom(const IJobBytes& job, uint64_t offset) : mJob(job), mintOffset(offset) {}

    uint64_t Size() const override { return mJob.Size() > mintOffset ? mJob.Size() - mintOffset : 0; }
    int64_t ReadAt(uint64_t offset, std::span<unsigned char> into) const override
    {
        if (offset >= Size())
            return 0;
        return mJob.ReadAt(offset + mintOffset, into);
    }

private:
    const IJobBytes& mJob;
    uint64_t mintOffset;
};

// The offset of the first occurrence of the bytes within the first limit
// bytes of the job, or DataBuffer::npos.
uint64_t FindInJobBytes(const IJobBytes& job, std::string_view bytes, uint64_t limit);

}  // namespace RawPrintData
