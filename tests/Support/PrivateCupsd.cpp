#include "tests/Support/PrivateCupsd.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <cups/cups.h>

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>

namespace fs = std::filesystem;

namespace TestSupport {

namespace {

constexpr int kStartAttempts = 3;
constexpr const char* kSystemDaemonFolder = "/usr/lib/cups/daemon";
constexpr const char* kSystemScheduler = "/usr/sbin/cupsd";

// Open to everyone, with IPP operations needing no authentication; job
// values stay private to their owners as in a default installation. Every
// request is logged with its answer's status.
constexpr const char* kSchedulerConfig = R"(LogLevel debug
AccessLogLevel all
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)";

}  // namespace

PrivateCupsd::PrivateCupsd(const Environment& backendEnvironment)
{
    char pattern[] = "/tmp/cvkcups.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    mstrFolder = pattern;
    // cups-exec runs unprivileged backends and filters from here.
    fs::permissions(mstrFolder, fs::perms(0755));
    for (const char* folder : {"/conf", "/bin/backend", "/bin/filter", "/spool/tmp", "/cache", "/state", "/log"})
        fs::create_directories(mstrFolder + folder);
    fs::create_directories(RecordFolder());
    fs::permissions(RecordFolder(), fs::perms(0777));
    fs::create_directory_symlink(kSystemDaemonFolder, ServerBin() + "/daemon");
    // The scheduler runs from a copy: a security profile that confines the
    // system's cupsd to the system's own files (AppArmor's, on Debian)
    // attaches by program path and would refuse this folder.
    std::error_code copyError;
    fs::create_directories(mstrFolder + "/sbin", copyError);
    fs::copy_file(kSystemScheduler, mstrFolder + "/sbin/cupsd", copyError);
    // Another test may take a port between our look and cupsd's bind.
    for (int attempt = 0; attempt < kStartAttempts && !Running(); ++attempt)
        mblnStart(backendEnvironment);
}

PrivateCupsd::~PrivateCupsd()
{
    StopProgram(mintPid, std::chrono::seconds(10));
    std::error_code ignored;
    fs::remove_all(mstrFolder, ignored);
}

std::string PrivateCupsd::Address() const
{
    return "127.0.0.1:" + std::to_string(mintPort);
}

std::string PrivateCupsd::ErrorLog() const
{
    return ReadFileText(mstrFolder + "/log/cupsd.out") + ReadFileText(mstrFolder + "/log/error_log");
}

void PrivateCupsd::UseAsDefaultServer() const
{
    setenv("CUPS_SERVER", Address().c_str(), 1);
    cupsSetServer(Address().c_str());
}

bool PrivateCupsd::InstallBackend(const std::string& name, const std::string& programPath, unsigned mode) const
{
    std::error_code error;
    std::string target = BackendFolder() + "/" + name;
    fs::copy_file(programPath, target, fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::permissions(target, fs::perms(mode), error);
    return !error;
}

bool PrivateCupsd::InstallRecordingBackend(const std::string& name, unsigned mode) const
{
    return InstallBackend(name, CVK_RECORDING_BACKEND, mode);
}

bool PrivateCupsd::AddQueue(const std::string& name, const std::string& deviceUri, const std::string& ppdPath,
                            const std::vector<std::string>& moreArguments) const
{
    std::vector<std::string> command{"lpadmin", "-h", Address(), "-p", name, "-E", "-v", deviceUri};
    if (!ppdPath.empty()) {
        command.push_back("-P");
        command.push_back(ppdPath);
    }
    command.insert(command.end(), moreArguments.begin(), moreArguments.end());
    return RunProgram(command).status == 0;
}

int PrivateCupsd::SubmitJob(const std::string& queue, const std::string& file, const std::vector<std::string>& options,
                            const std::string& user) const
{
    std::vector<std::string> command{"lp", "-h", Address(), "-d", queue};
    if (!user.empty()) {
        command.push_back("-U");
        command.push_back(user);
    }
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(file);
    ProgramResult result = RunProgram(command);
    // "request id is <queue>-<id> (1 file(s))"
    std::string marker = "request id is " + queue + "-";
    size_t at = result.output.find(marker);
    if (result.status != 0 || at == std::string::npos)
        return -1;
    const char* digits = result.output.c_str() + at + marker.size();
    int jobId = -1;
    std::from_chars(digits, result.output.c_str() + result.output.size(), jobId);
    return jobId;
}

std::optional<int> PrivateCupsd::JobState(int jobId) const
{
    http_t* connection = httpConnect2("127.0.0.1", mintPort, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (connection == nullptr)
        return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(connection, request, "/");
    std::optional<int> state;
    if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = ippGetInteger(attribute, 0);
    ippDelete(response);
    httpClose(connection);
    return state;
}

bool PrivateCupsd::WaitForJobState(int jobId, int state, std::chrono::milliseconds limit) const
{
    return WaitUntil([&] { return JobState(jobId) == state; }, limit);
}

bool PrivateCupsd::ReleaseJob(int jobId) const
{
    return RunProgram({"lp", "-h", Address(), "-i", std::to_string(jobId), "-H", "resume"}).status == 0;
}

bool PrivateCupsd::CancelJob(int jobId) const
{
    return RunProgram({"cancel", "-h", Address(), std::to_string(jobId)}).status == 0;
}

bool PrivateCupsd::Reload() const
{
    const size_t logged = ReadFileText(mstrFolder + "/log/error_log").size();
    if (mintPid <= 0 || kill(mintPid, SIGHUP) != 0)
        return false;
    // The scheduler logs its configuration as it reads it again, then listens.
    return WaitUntil(
        [&] {
            const std::string log = ReadFileText(mstrFolder + "/log/error_log");
            if (log.size() > logged && log.find("Listening to", logged) == std::string::npos)
                return false;
            http_t* probe = httpConnect2("127.0.0.1", mintPort, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
            if (probe != nullptr)
                httpClose(probe);
            return probe != nullptr && log.size() > logged;
        },
        std::chrono::seconds(10));
}

bool PrivateCupsd::Restart()
{
    if (mintPid > 0)
        StopProgram(mintPid, std::chrono::seconds(10));
    mintPid = -1;
    return mblnStart(Environment(mEnvironment));
}

bool PrivateCupsd::mblnStart(const Environment& backendEnvironment)
{
    mEnvironment = backendEnvironment;
    if (mintPort < 0)
        mintPort = FreeLoopbackPort(SOCK_STREAM);
    std::string conf = mstrFolder + "/conf";
    WriteFileText(conf + "/cupsd.conf", "Listen " + Address() + "\nListen " + SocketPath() + "\n" + kSchedulerConfig);

    std::string files = "ServerRoot " + conf + "\nServerBin " + ServerBin() + "\nRequestRoot " + mstrFolder
        + "/spool\nTempDir " + mstrFolder + "/spool/tmp\nCacheDir " + mstrFolder + "/cache\nStateDir " + mstrFolder
        + "/state\nAccessLog " + mstrFolder + "/log/access_log\nErrorLog " + mstrFolder + "/log/error_log\nPageLog "
        + mstrFolder + "/log/page_log\n";
    files += "SetEnv CVK_RECORD_DIR " + RecordFolder() + "\n";
    for (const auto& [name, value] : backendEnvironment)
        files += "SetEnv " + name + " " + value + "\n";
    WriteFileText(conf + "/cups-files.conf", files);

    std::string scheduler = fs::exists(mstrFolder + "/sbin/cupsd") ? mstrFolder + "/sbin/cupsd" : "cupsd";
    pid_t pid = StartProgram({scheduler, "-f", "-c", conf + "/cupsd.conf", "-s", conf + "/cups-files.conf"},
                             mstrFolder + "/log/cupsd.out");
    if (pid < 0)
        return false;
    bool ready = WaitUntil(
        [&] {
            http_t* probe = httpConnect2("127.0.0.1", mintPort, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
            if (probe != nullptr)
                httpClose(probe);
            return probe != nullptr;
        },
        std::chrono::seconds(10));
    if (!ready) {
        StopProgram(pid);
        return false;
    }
    mintPid = pid;
    return true;
}

}  // namespace TestSupport
