// NeverDestroyed.h — a process-wide object built at start-up and never torn
// down. The launcher ends through the system's process exit while its
// threads (the worker, the VM) may still run; an object with a destructor
// as a plain static would have that destructor registered with the C
// runtime, to run on its exit under those threads. Kept here instead, the
// object lives until the process is gone.
#pragma once

#include <new>

template <typename T>
class NeverDestroyed {
public:
    NeverDestroyed() { new (storage_) T(); }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& Get() { return *reinterpret_cast<T*>(storage_); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};
