// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/folder_lock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "app/runtime_error.h"

namespace zanfiro {

namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point then)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count());
}

// Touches the held lock every so often from a thread of its own, so a holder slowed by a share
// still shows it is at work, and a stopped one shows nothing.
class Toucher {
public:
    Toucher(const disk::LockHandle& handle, int everyMs)
        : m_thread([this, &handle, everyMs] {
              std::unique_lock lock(m_mutex);
              while (!m_cv.wait_for(lock, std::chrono::milliseconds(everyMs), [this] { return m_stop; }))
                  disk::touchLock(handle);
          })
    {
    }
    ~Toucher()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_one();
        m_thread.join();
    }
    Toucher(const Toucher&) = delete;
    Toucher& operator=(const Toucher&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::thread m_thread;
};

class Waiter {
public:
    Waiter(std::string path, const LockRequest& request) : m_path(std::move(path)), m_request(request) { }

    ~Waiter()
    {
        if (m_signShown && m_request.waiting)
            m_request.waiting(false);
    }

    // True when the lock at the path may be removed: its holder is gone.
    bool stale(const disk::LockFileState& lock)
    {
        if (lock.kind == FileKind::Other)
            throw RuntimeError(ErrorNumber::PathFileAccessError, m_path);
        if (lock.identity != m_seen) {
            m_seen = lock.identity;
            m_changed = Clock::now();
        }
        const int silentMs = msSince(m_changed);
        if (lock.content.rfind("zanfiro ", 0) != 0 || lock.content.back() != '\n')
            return silentMs >= m_request.times.emptyStaleMs;
        if (lock.content == m_own)
            return true; // ours, left by a release that could not remove it
        bool sameMachine = false;
        const bool alive = disk::ownerAlive(lock.content, &sameMachine);
        if (!sameMachine)
            return silentMs >= m_request.times.otherMachineStaleMs;
        if (!alive || lock.ageMs >= m_request.times.liveStaleMs)
            return true;
        if (silentMs >= m_request.times.liveSilenceMs)
            throw RuntimeError(ErrorNumber::PermissionDenied, m_path); // held by a copy that stopped
        return false;
    }

    void pause()
    {
        const int waitedMs = msSince(m_start);
        if (waitedMs >= m_request.times.boundMs)
            throw RuntimeError(ErrorNumber::PermissionDenied, m_path);
        if (waitedMs >= m_request.times.signAfterMs && m_request.waiting) {
            m_signShown = true;
            m_request.waiting(true);
        }
        // Asked again every few milliseconds: a class of copies finishing at once then takes turns
        // as fast as their commits allow.
        thread_local std::minstd_rand random(std::random_device{}());
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + random() % 10));
    }

    const std::string& own() const { return m_own; }

private:
    std::string m_path;
    const LockRequest& m_request;
    std::string m_own = disk::lockOwnerLine();
    std::string m_seen;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_changed = Clock::now();
    bool m_signShown = false;
};

bool nothingCanWrite(const RuntimeError& error)
{
    return error.number() == ErrorNumber::DiskFull || error.number() == ErrorNumber::PermissionDenied;
}

} // namespace

void underFolderLock(const std::string& folder, const LockRequest& request, const std::function<void()>& step)
{
    const std::string path = folder + (folder.empty() || folder.back() == '/' || folder.back() == '\\' ? "" : "/")
        + lockFileName;
    disk::LockHandle handle;
    {
        Waiter waiter(path, request);
        for (;;) {
            try {
                if (disk::tryCreateLock(path, waiter.own(), request.sharing, &handle))
                    break;
            } catch (const RuntimeError& error) {
                if (request.readOnly && nothingCanWrite(error))
                    return step();
                throw;
            }
            const disk::LockFileState lock = disk::readLock(path);
            if (lock.kind != FileKind::Missing && waiter.stale(lock)) {
                // Looked at once more just before it goes: a copy that took it over meanwhile
                // keeps it.
                if (disk::readLock(path).identity == lock.identity)
                    disk::removeFile(path);
                continue;
            }
            waiter.pause();
        }
    }
    struct Release {
        disk::LockHandle& handle;
        ~Release() { disk::releaseLock(handle); }
    } release{handle};
    const Toucher toucher(handle, request.times.touchEveryMs);
    step();
}

} // namespace zanfiro
