#pragma once

#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "hook/JobDataSpool.h"

// The job's data as the hook already holds it, for the parser's readers of
// whole documents (PDF, raster): the spool of standard input's bytes (memory,
// then its temporary file), or the job file CUPS named. Nothing is copied;
// reads at an offset leave the file positions alone.
class KeptJobBytes final : public RawPrintData::IJobBytes {
public:
    explicit KeptJobBytes(const JobDataSpool& spool) : mSpool(&spool) {}
    // A job file open for reading (not owned).
    explicit KeptJobBytes(int fileDescriptor) : mintFile(fileDescriptor) {}

    uint64_t Size() const override;
    int64_t ReadAt(uint64_t offset, std::span<unsigned char> into) const override;

private:
    const JobDataSpool* mSpool = nullptr;
    int mintFile = -1;
};
