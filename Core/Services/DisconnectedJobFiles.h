#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The files of disconnected jobs: one CBOR file per job in the job cache
// folder, named ".<computer>.<job id>.job".
//
// A file counts as a stored job when its name ends in ".job" and that is the
// first ".job" in the name. Files that must never be taken for a stored job
// therefore carry ".job" followed by more text: the temporary file a job is
// written to before it is renamed into place (".<computer>.<id>.job.XXXXXX")
// and a job file set aside because it cannot be read (".<computer>.<id>.job.bad").
namespace CVCoreDataServices::DisconnectedJobFiles {

inline constexpr std::string_view Extension = ".job";
inline constexpr std::string_view SetAsideSuffix = ".bad";
// Marks a job stored because the client quit while the server answered
// (".<computer>.<job id>.quit.job"): it is submitted whatever the settings
// say of jobs taken while the server was away. The record itself is the
// same, and any version reads the file as a stored job.
inline constexpr std::string_view TakenAtQuitMark = ".quit";
// A stored job one process is submitting: its name no longer ends in ".job",
// so no other process takes it too.
inline constexpr std::string_view ClaimSuffix = ".sending";

// The file of one job: "<folder>/.<computer>.<job id>.job", or with the mark
// of a job taken at a quit. A "." or "/" in the computer name becomes "_", so
// the name stays one file in the folder and is recognised as a stored job.
std::string PathFor(const std::string& folder, const std::string& computerName, uint32_t jobId,
                    bool takenAtQuit = false);

// Whether a stored job's name carries the mark of a job taken at a quit.
bool IsTakenAtQuitName(std::string_view name);

// Takes a stored job for this process by renaming it to "<path>.sending";
// the claimed path, or an empty text when another process took it first.
std::string Claim(const std::string& path);
// Gives a claimed job back to the store under its own name.
bool Unclaim(const std::string& claimedPath);
// Gives back every job a process claimed and did not finish (it died
// sending); only while no other process of the user submits.
void UnclaimAll(const std::string& folder);

// Whether a file name (without its folder) is a stored job.
bool IsStoredJobName(std::string_view name);

// Whether removing all stored jobs removes the file: a stored job whose name
// starts with ".".
bool IsRemovableJobName(std::string_view name);

// Renames a job file that cannot be read to a name that is no stored job
// ("<name>.bad", or "<name>.bad.<n>" when that exists), so that it is neither
// submitted nor lost. Answers the new path, or an empty text when the file
// could not be moved (errno tells why; ENOENT: it is gone).
std::string SetAside(const std::string& path);

}  // namespace CVCoreDataServices::DisconnectedJobFiles
