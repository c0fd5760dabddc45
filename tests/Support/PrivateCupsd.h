#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace TestSupport {

// A private CUPS scheduler for one test: cupsd in the foreground with its
// own cupsd.conf and cups-files.conf in a temporary folder, listening on a
// free port of 127.0.0.1 and on a domain socket in that folder, with no
// authentication. Its ServerBin holds the system's daemon folder (for
// cups-exec) and empty backend/ and filter/ folders where tests install
// their programs. Queues are added with lpadmin, jobs submitted with lp.
// Stopped and removed with everything in it on destruction.
//
// Backends see the environment variables given at construction, and always
// CVK_RECORD_DIR (RecordFolder(), writable by everyone) for the recording
// backend. A backend installed with mode 0700 runs as root, one with mode
// 0755 as the scheduler's unprivileged user.
class PrivateCupsd {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    explicit PrivateCupsd(const Environment& backendEnvironment = {});
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    bool Running() const { return mintPid > 0; }
    int Port() const { return mintPort; }
    // "127.0.0.1:<port>", as lp -h and cupsSetServer take it.
    std::string Address() const;
    std::string SocketPath() const { return mstrFolder + "/cups.sock"; }
    const std::string& Folder() const { return mstrFolder; }
    std::string ServerBin() const { return mstrFolder + "/bin"; }
    std::string BackendFolder() const { return ServerBin() + "/backend"; }
    std::string RecordFolder() const { return mstrFolder + "/records"; }
    std::string ErrorLog() const;

    // Makes this scheduler the CUPS server of the process: CUPS_SERVER for
    // threads yet to start, and the calling thread's own setting.
    void UseAsDefaultServer() const;

    // Has the scheduler read its configuration again (SIGHUP), with the filters
    // installed since it started; false when it does not answer after it.
    bool Reload() const;

    // Stops the scheduler as an update of cups does (SIGTERM: the jobs under
    // way are stopped and kept) and starts it again on the same port, where it
    // runs those jobs again; false when it does not come back.
    bool Restart();

    // Copies a program into the backend folder under the given name.
    bool InstallBackend(const std::string& name, const std::string& programPath, unsigned mode = 0700) const;

    // Installs the recording backend (see tests/Support/programs).
    bool InstallRecordingBackend(const std::string& name, unsigned mode = 0700) const;

    // lpadmin -p name -E -v deviceUri [-P ppd] [more arguments].
    bool AddQueue(const std::string& name, const std::string& deviceUri, const std::string& ppdPath = "",
                  const std::vector<std::string>& moreArguments = {}) const;

    // lp -d queue [-U user] [options] file; the job id, or -1.
    int SubmitJob(const std::string& queue, const std::string& file, const std::vector<std::string>& options = {},
                  const std::string& user = "") const;

    // The job's state (IPP job-state: 3 pending ... 7 canceled, 9 completed).
    std::optional<int> JobState(int jobId) const;
    bool WaitForJobState(int jobId, int state, std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

    // lp -i jobId -H resume.
    bool ReleaseJob(int jobId) const;

    // cancel jobId.
    bool CancelJob(int jobId) const;

private:
    bool mblnStart(const Environment& backendEnvironment);

    Environment mEnvironment;

    std::string mstrFolder;
    int mintPort = -1;
    pid_t mintPid = -1;
};

}  // namespace TestSupport
