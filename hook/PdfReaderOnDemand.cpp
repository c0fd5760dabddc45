// The PDF reader in cvkhook, loaded once a job is a PDF.
//
// The reader works with qpdf, whose loading (with GnuTLS) is a good part of
// the start that every job waits for, while most jobs are no PDF. So cvkhook
// links the reader as a module of its own (cvkhook-pdf.so, in the install
// folder) and these definitions of the reader's two entry points load it on
// their first call. The hook runs as root: the module is taken only from a
// regular file of root's (or of the hook's own user) that neither its group
// nor others may write, in a folder of the same kind, and is loaded from the
// descriptor that was checked. A reader that cannot be loaded (a damaged
// installation) ends the hook with the status that makes cupsd try the job
// again later, as the CUPS library's does: without it neither the pages nor
// the page tree of the PDF can be counted, and a job must not print billed
// less than it may be.
#include "CoreLogger/ComponentLog.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfReaderEntry.h"
#include "Platform/ScopedDescriptor.h"
#include "hook/SchedulerMessages.h"

#include <cups/backend.h>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

// Where the module is looked for: where the installation puts it, then, in
// a build with tests, where the build made it.
std::vector<std::string> ModulePlaces()
{
    std::vector<std::string> places{CVK_PDF_READER_INSTALLED};
#ifdef CVK_PDF_READER_BUILT
    places.emplace_back(CVK_PDF_READER_BUILT);
#endif
    return places;
}

// Whether status information describes something that only root or this
// process's user can have changed.
bool IsTrusted(const struct stat& info)
{
    return (info.st_uid == 0 || info.st_uid == geteuid()) && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Loads the module at the path when it may be trusted; null with the reason
// otherwise.
void* LoadTrusted(const std::string& path, std::string& why)
{
    const std::string folder = path.substr(0, path.rfind('/'));
    struct stat folderInfo {};
    if (stat(folder.empty() ? "/" : folder.c_str(), &folderInfo) != 0) {
        why = path + ": " + std::strerror(errno);
        return nullptr;
    }
    Platform::ScopedDescriptor file{open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0) {
        why = path + ": " + std::strerror(errno);
        return nullptr;
    }
    if (!S_ISDIR(folderInfo.st_mode) || !IsTrusted(folderInfo) || !S_ISREG(info.st_mode) || !IsTrusted(info)) {
        why = path + ": not a file of root's that only root may change";
        return nullptr;
    }
    void* module = dlopen(("/proc/self/fd/" + std::to_string(file.fd)).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* error = dlerror();
        why = path + ": " + (error != nullptr ? error : "cannot be loaded");
    }
    return module;
}

// The module's entry points; the hook ends when none can be had.
const PdfReaderEntry& Reader()
{
    static const PdfReaderEntry* entry = [] () -> const PdfReaderEntry* {
        std::string failure;
        for (const std::string& place : ModulePlaces()) {
            std::string why;
            void* module = LoadTrusted(place, why);
            if (module == nullptr) {
                failure += (failure.empty() ? "" : "; ") + why;
                continue;
            }
            using EntryFunction = const PdfReaderEntry* (*)();
            auto function = reinterpret_cast<EntryFunction>(dlsym(module, PdfReaderEntryName));
            const PdfReaderEntry* found = function != nullptr ? function() : nullptr;
            if (found != nullptr && found->version == PdfReaderEntryVersion)
                return found;
            failure += (failure.empty() ? "" : "; ") + place + ": not this program's PDF reader";
            dlclose(module);
        }
        const std::string line = "The PDF reader could not be loaded (" + failure + "); the job is tried again later.";
        Log::Error("%s", line);
        SchedulerMessages::Error(line);
        _exit(CUPS_BACKEND_RETRY);
    }();
    return *entry;
}

}  // namespace

bool ReadPdfDocument(const PdfReadAt& read, uint64_t size, const std::function<void(const PdfPage&)>& sink,
                     std::string& error)
{
    return Reader().readDocument(read, size, sink, error);
}

uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size)
{
    return Reader().countLeafPages(read, size);
}

}  // namespace RawPrintData::Pdf
