// ChildProcesses.cpp — the job object of the launcher's children and the
// suspended start that puts a child into it before it runs.
#include "ChildProcesses.h"

#include <atomic>

// Created on the first start and never closed: the system closes it when
// the launcher ends, and the kill-on-close limit then ends the children.
static std::atomic<HANDLE> ChildJob{nullptr};
static std::atomic<bool> ChildrenEnded{false};

static HANDLE CreateChildJob() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// The job, made on first use; of two threads racing here, one job wins.
static HANDLE TheChildJob() {
    HANDLE job = ChildJob.load();
    if (job) return job;
    HANDLE made = CreateChildJob();
    if (!made) return nullptr;
    if (ChildJob.compare_exchange_strong(job, made)) return made;
    CloseHandle(made);
    return job;
}

static void Discard(PROCESS_INFORMATION* process) {
    TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

bool StartChildProcess(const char* program, char* commandLine, STARTUPINFOA* startup, bool inheritHandles,
                       PROCESS_INFORMATION* process) {
    HANDLE job = TheChildJob();
    if (!job) return false;
    startup->dwFlags |= STARTF_USESHOWWINDOW;
    startup->wShowWindow = SW_HIDE;
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, inheritHandles, CREATE_SUSPENDED | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, startup, process))
        return false;
    // Once the child has joined the job, EndChildProcesses reaches it:
    // either the check below sees the children ended, or the job is
    // terminated after the child joined. A child that cannot join (before
    // Windows 8, a launcher that itself runs in a job allowing no other)
    // still runs, as it would have without the job, rather than leaving the
    // launcher without a version probe or an unpack tool.
    AssignProcessToJobObject(job, process->hProcess);
    if (ChildrenEnded.load()) {
        Discard(process);
        SetLastError(ERROR_CANCELLED);
        return false;
    }
    ResumeThread(process->hThread);
    return true;
}

void EndChildProcesses() {
    ChildrenEnded.store(true);
    HANDLE job = ChildJob.load();
    if (job) TerminateJobObject(job, 1);
}

bool ChildProcessesEnded() { return ChildrenEnded.load(); }
