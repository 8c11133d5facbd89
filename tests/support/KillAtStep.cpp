// Preloaded into a process under test (LD_PRELOAD), this ends it with SIGKILL at a chosen point of
// its changes to the file system, as a power cut or the OOM killer would: just before or just after
// its n-th rename, hard link or removal of a file or cut of a file's length (the end of an overwrite in place),
// where TIRVEL_KILL_AT_POINT=2n-1 names the moment before and 2n the moment after. Without that variable it
// changes nothing. Run with the points 1, 2, 3, ... in turn (on one thread), a test sees the process die at
// every moment that matters, without sleeping.
//
// With TIRVEL_EDIT_AT_POINT=n and TIRVEL_EDIT_PATH set instead, the process is not killed: at point n
// the line TIRVEL_EDIT_TEXT is appended to the file at that path (if it is there), as another program
// editing the document while the process works on it would; the file TIRVEL_EDIT_WITNESS is then
// created, to tell that the edit was made.

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>

namespace
{
long g_point = 0;

long PointFrom(const char* variable)
{
    const char* point = ::getenv(variable);
    return point ? ::atol(point) : 0L;
}

void EditTheDocument()
{
    const char* path = ::getenv("TIRVEL_EDIT_PATH");
    const char* text = ::getenv("TIRVEL_EDIT_TEXT");
    if (path == nullptr || text == nullptr)
        return;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    std::size_t length = 0;
    while (text[length] != '\0')
        ++length;
    const bool written = ::write(fd, text, length) == static_cast<ssize_t>(length);
    ::close(fd);
    const char* witness = ::getenv("TIRVEL_EDIT_WITNESS");
    if (written && witness != nullptr)
        ::close(::open(witness, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
}

void ReachPoint()
{
    static const long killAt = PointFrom("TIRVEL_KILL_AT_POINT");
    static const long editAt = PointFrom("TIRVEL_EDIT_AT_POINT");
    ++g_point;
    if (g_point == killAt)
        ::raise(SIGKILL);
    if (g_point == editAt)
        EditTheDocument();
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

    int link(const char* from, const char* to)
    {
        static const auto next = Next<int (*)(const char*, const char*)>("link");
        return Change([&] { return next(from, to); });
    }

    int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags)
    {
        static const auto next = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
        return Change([&] { return next(fromFolder, from, toFolder, to, flags); });
    }

    int unlinkat(int folder, const char* path, int flags)
    {
        static const auto next = Next<int (*)(int, const char*, int)>("unlinkat");
        return Change([&] { return next(folder, path, flags); });
    }
}
