// Judges 20 pages of 12-megapixel grey photos (RGB JPEGs, every pixel grey)
// with the parser and with Ghostscript's ink coverage device, one after the
// other on the same file, and prints both times and their ratio. Run by hand:
//     build/bench/bench/bench_pdf_pictures [pages] [file to keep]
#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "tests/Support/HostilePdf.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

double CpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The processor time of Ghostscript's ink coverage of the file.
double InkCoverageSeconds(const std::string& path)
{
    const pid_t child = fork();
    if (child == 0) {
        execlp("gs", "gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=inkcov", "-o", "/dev/null", path.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return CpuSeconds(usage);
}

}  // namespace

int main(int argc, char** argv)
{
    const int pages = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string path = argc > 2 ? argv[2] : "/tmp/cvk-grey-photos.pdf";
    std::vector<std::string> photos;
    for (int page = 0; page < pages; ++page)
        photos.push_back(TestSupport::HostilePdf::GreyPhotoJpeg(4000, 3000));
    const std::string text = TestSupport::HostilePdf::PhotoPages(photos, 4000, 3000);
    std::ofstream(path, std::ios::binary) << text;
    const std::vector<unsigned char> job(text.begin(), text.end());

    // Processor time, as for Ghostscript.
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    RawPrintData::CRawDataHandler handler(RawPrintData::LANGUAGE_UNKNOWN);
    const RawPrintData::MemoryJobBytes bytes(job);
    handler.SetJobBytes(&bytes);
    handler.ParseData(job.data(), job.size());
    handler.ParseDone();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double parser = CpuSeconds(after) - CpuSeconds(before);
    int mono = 0;
    int colour = 0;
    handler.GetTotalPageCount(&mono, &colour);

    const double ghostscript = InkCoverageSeconds(path);
    std::printf("%d pages of 4000 x 3000 grey photos (%zu bytes): parser %.3f s (%d mono, %d colour), "
                "gs -sDEVICE=inkcov %.3f s, ratio %.1f\n",
                pages, text.size(), parser, mono, colour, ghostscript, ghostscript / parser);
    return mono == pages ? 0 : 1;
}
