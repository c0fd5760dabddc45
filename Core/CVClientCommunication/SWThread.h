#pragma once

#include <atomic>
#include <mutex>
#include <thread>

// Base of the client's long-lived threads (the socket listener and the job
// threads): Start runs the virtual Run on a new thread; Terminate asks the
// subclass to stop through the virtual Shutdown and may wait for the thread.
//
// A subclass whose Run can still be running when the object goes calls
// Terminate(true) in its own destructor: by the time the base destructor
// runs, the subclass's Run and Shutdown are gone.
class SWThread {
public:
    SWThread() = default;
    SWThread(const SWThread&) = delete;
    SWThread& operator=(const SWThread&) = delete;
    virtual ~SWThread();

    void Start();
    void Terminate(bool wait);
    bool IsRunning() const { return mblnRunning.load(); }

    // The thread's work; its result is not read.
    virtual int Run() = 0;

    // Makes Run return soon; wait tells whether Terminate will join.
    virtual void Shutdown(bool wait);

private:
    void mJoinUnlessSelf();

    std::recursive_mutex mMutex;  // guards the running flag and the start
    std::thread mThread;
    std::atomic<bool> mblnRunning{false};
};
