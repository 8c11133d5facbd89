// Preloaded into a process under test (LD_PRELOAD), this ends it with SIGKILL at a chosen point of
// its changes to the file system, as a power cut or the OOM killer would: just before or just after
// its n-th rename or removal of a file or cut of a file's length (the end of an overwrite in place),
// where TIRVEL_KILL_AT_POINT=2n-1 names the moment before and 2n the moment after. Without that variable it
// changes nothing. Run with the points 1, 2, 3, ... in turn (on one thread), a test sees the process die at
// every moment that matters, without sleeping.

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace
{
long g_point = 0;

void ReachPoint()
{
    static const long killAt = []
    {
        const char* point = ::getenv("TIRVEL_KILL_AT_POINT");
        return point ? ::atol(point) : 0L;
    }();
    if (++g_point == killAt)
        ::raise(SIGKILL);
}

template <typename Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// One change of the file system with a point before and one after it.
template <typename Call> int Change(Call call)
{
    ReachPoint();
    const int result = call();
    ReachPoint();
    return result;
}
} // namespace

extern "C"
{
    int rename(const char* from, const char* to)
    {
        static const auto next = Next<int (*)(const char*, const char*)>("rename");
        return Change([&] { return next(from, to); });
    }

    int renameat(int fromFolder, const char* from, int toFolder, const char* to)
    {
        static const auto next = Next<int (*)(int, const char*, int, const char*)>("renameat");
        return Change([&] { return next(fromFolder, from, toFolder, to); });
    }

    int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags)
    {
        static const auto next = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
        return Change([&] { return next(fromFolder, from, toFolder, to, flags); });
    }

    int unlink(const char* path)
    {
        static const auto next = Next<int (*)(const char*)>("unlink");
        return Change([&] { return next(path); });
    }

    int ftruncate(int fd, off_t length)
    {
        static const auto next = Next<int (*)(int, off_t)>("ftruncate");
        return Change([&] { return next(fd, length); });
    }

    int unlinkat(int folder, const char* path, int flags)
    {
        static const auto next = Next<int (*)(int, const char*, int)>("unlinkat");
        return Change([&] { return next(folder, path, flags); });
    }
}
