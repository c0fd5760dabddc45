#include "Core/CupsAccess/PpdFacts.h"

#include "Core/CupsAccess/CupsRequest.h"
#include "CoreLogger/ComponentLog.h"

#include <cups/cups.h>
#include <cups/file.h>

#include <ctime>
#include <map>
#include <mutex>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace CVClientData {

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

// A copy whose file changed less than this long before it was asked for may
// change again within the second of its time stamp: it is not kept.
constexpr std::time_t kSettledSeconds = 2;
// Queues kept at most; past it the cache starts again.
constexpr size_t kMaxQueues = 256;

// Whether the PPD's default duplex choice prints on both sides: the first of
// the duplex options that the PPD has decides.
bool mDefaultIsDuplex(ppd_file_t& ppd)
{
    for (const char* keyword : {"Duplex", "EFDuplex", "KD03Duplex"}) {
        ppd_option_t* option = ppdFindOption(&ppd, keyword);
        if (option == nullptr)
            continue;
        return strcasecmp(option->defchoice, "DuplexNoTumble") == 0 || strcasecmp(option->defchoice, "DuplexTumble") == 0;
    }
    return false;
}

// The server's file as last read: its time stamp and size, and its facts.
struct KnownCopy {
    std::time_t modified = 0;
    off_t size = 0;
    PpdFacts facts;
};

std::mutex gKnownLock;
std::map<std::string, KnownCopy>& Known()
{
    static std::map<std::string, KnownCopy> known;
    return known;
}

std::optional<KnownCopy> mFind(const std::string& key)
{
    std::lock_guard hold(gKnownLock);
    auto found = Known().find(key);
    return found != Known().end() ? std::optional<KnownCopy>(found->second) : std::nullopt;
}

void mKeep(const std::string& key, std::optional<KnownCopy> copy)
{
    std::lock_guard hold(gKnownLock);
    if (!copy) {
        Known().erase(key);
        return;
    }
    if (Known().size() >= kMaxQueues && Known().find(key) == Known().end())
        Known().clear();
    Known()[key] = std::move(*copy);
}

// "If-Modified-Since" as cupsd reads it: the date and the size, either of
// which differing makes it send the file.
std::string mChangedSince(const KnownCopy& copy)
{
    char date[256];
    return std::string(httpGetDateString2(copy.modified, date, sizeof date)) + "; length="
        + std::to_string(static_cast<long long>(copy.size));
}

// Reads the PPD held in the descriptor, which it closes.
std::optional<PpdFacts> mReadFacts(int fd)
{
    lseek(fd, 0, SEEK_SET);
    cups_file_t* file = cupsFileOpenFd(fd, "r");
    if (file == nullptr) {
        close(fd);
        return std::nullopt;
    }
    std::optional<PpdFacts> facts;
    if (ppd_file_t* ppd = ppdOpen2(file)) {
        facts = PpdFacts::Read(*ppd);
        ppdClose(ppd);
    }
    cupsFileClose(file);
    return facts;
}

}  // namespace

PpdFacts PpdFacts::Read(ppd_file_t& ppd)
{
    PpdFacts facts;
    facts.colourDevice = ppd.color_device != 0;
    facts.duplexByDefault = mDefaultIsDuplex(ppd);
    if (ppd.num_sizes > 0 && ppd.sizes != nullptr) {
        facts.hasPageSize = true;
        facts.pageSizeName = ppd.sizes[0].name;
        facts.pageWidth = ppd.sizes[0].width;
        facts.pageLength = ppd.sizes[0].length;
    }
    if (ppd.manufacturer != nullptr)
        facts.driver = std::string(ppd.manufacturer) + " ";
    if (ppd.product != nullptr)
        facts.driver += ppd.product;
    if (ppd.nickname != nullptr)
        facts.driverVersion = ppd.nickname;
    return facts;
}

PpdFactsCache::Fetched PpdFactsCache::Fetch(const std::string& queue, http_t* connection)
{
    Fetched fetched;
    const std::string server = cupsServer();
    const int port = ippPort();
    CupsRequest::Connection own;
    if (connection == nullptr) {
        own = CupsRequest::Connect();
        connection = own.get();
    }
    if (connection == nullptr || queue.empty())
        return fetched;
    const std::string key = server + "\n" + std::to_string(port) + "\n" + queue;
    std::optional<KnownCopy> known = mFind(key);
    httpSetField(connection, HTTP_FIELD_IF_MODIFIED_SINCE, known ? mChangedSince(*known).c_str() : "");

    int fd = memfd_create("ppd", MFD_CLOEXEC);
    if (fd < 0)
        return fetched;
    const std::time_t asked = std::time(nullptr);
    const std::string resource = "/printers/" + queue + ".ppd";
    http_status_t status = cupsGetFd(connection, resource.c_str(), fd);
    if (status == HTTP_STATUS_NOT_MODIFIED && known) {
        close(fd);
        fetched.outcome = Outcome::Facts;
        fetched.facts = known->facts;
        fetched.unchanged = true;
        return fetched;
    }
    if (status != HTTP_STATUS_OK) {
        close(fd);
        mKeep(key, std::nullopt);
        Log::Debug("PpdFactsCache::Fetch - %s answered %d for %s.", server, static_cast<int>(status), resource);
        return fetched;
    }
    KnownCopy copy;
    const char* lastModified = httpGetField(connection, HTTP_FIELD_LAST_MODIFIED);
    copy.modified = lastModified != nullptr && *lastModified != '\0' ? httpGetDateTime(lastModified) : 0;
    struct stat held {};
    copy.size = fstat(fd, &held) == 0 ? held.st_size : 0;
    std::optional<PpdFacts> facts = mReadFacts(fd);
    if (!facts) {
        mKeep(key, std::nullopt);
        fetched.outcome = Outcome::Unreadable;
        return fetched;
    }
    copy.facts = *facts;
    const bool settled = copy.modified > 0 && copy.modified + kSettledSeconds <= asked;
    mKeep(key, settled ? std::optional<KnownCopy>(std::move(copy)) : std::nullopt);
    fetched.outcome = Outcome::Facts;
    fetched.facts = std::move(*facts);
    return fetched;
}

}  // namespace CVClientData
