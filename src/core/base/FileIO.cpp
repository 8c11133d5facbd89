#include "core/base/FileIO.h"

#include "core/base/CFileDescriptor.h"
#include "core/base/CRecoveryCopy.h"
#include "core/base/CSaveFile.h"
#include "core/base/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

FileReadError ReadFileInPieces(const std::string& path, std::uint64_t maxBytes, FileState* state,
                               const std::function<void(std::uint64_t size)>& opened,
                               const std::function<void(std::string_view piece)>& piece)
{
    // Without O_NONBLOCK a pipe nobody writes to would block the open forever.
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen())
        return {errno, 0};
    FileReadError error;
    struct stat status;
    if (::fstat(file.Get(), &status) != 0)
        error.errorNumber = errno;
    else if (S_ISDIR(status.st_mode))
        error.errorNumber = EISDIR;
    else if (!S_ISREG(status.st_mode))
        error = {EINVAL, static_cast<mode_t>(status.st_mode & S_IFMT)};
    else if (static_cast<std::uint64_t>(status.st_size) > maxBytes)
        error.errorNumber = EFBIG;
    if (error.errorNumber != 0)
        return error;
    if (state != nullptr)
        *state = FileStateOf(status);
    if (opened)
        opened(static_cast<std::uint64_t>(status.st_size));
    // A piece small enough to stay in the processor's cache while the caller goes over it, so the
    // file's bytes are fetched from memory once; a file that grows meanwhile is still read to its
    // end, up to the limit.
    constexpr std::size_t kPieceBytes = std::size_t{1} << 16;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kPieceBytes);
    std::uint64_t total = 0;
    for (;;)
    {
        const ssize_t got = ::read(file.Get(), buffer.get(), kPieceBytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {errno, 0};
        if (got == 0)
            return {};
        total += static_cast<std::uint64_t>(got);
        if (total > maxBytes)
            return {EFBIG, 0};
        piece(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
    }
}

FileReadError ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                            FileState* state)
{
    bytes.clear();
    // Appended piece by piece into room reserved from the file's size: no byte is written twice.
    const FileReadError error = ReadFileInPieces(
        path, maxBytes, state, [&bytes](std::uint64_t size) { bytes.reserve(static_cast<std::size_t>(size)); },
        [&bytes](std::string_view piece) { bytes += piece; });
    if (error.errorNumber != 0)
        bytes.clear();
    return error;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    int error = 0;
    {
        CSaveFile file(path);
        if (file.Open() && file.Write(bytes) && file.Commit())
            return true;
        error = file.Error();
    }
    // Set once the temporary file is gone: removing it may change errno.
    errno = error;
    return false;
}

namespace
{
bool CopyFile(const std::string& from, const std::string& to, bool replace)
{
    const CFileDescriptor in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.IsOpen())
        return false;
    int error = 0;
    struct stat status;
    if (::fstat(in.Get(), &status) != 0)
        error = errno;
    else if (!S_ISREG(status.st_mode))
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    CSaveFile out(to);
    if (error == 0 && !out.Open())
        error = out.Error();
    if (error == 0)
        error = CopyToEnd(in.Get(),
                          [&out](std::string_view piece) { return out.Write(piece) ? 0 : out.Error(); });
    // Only root may give a file away; for anyone else the copy keeps its new owner.
    if (error == 0 &&
        !(out.SetMode(status.st_mode & 07777) &&
          (out.SetOwner(status.st_uid, status.st_gid) || out.Error() == EPERM) &&
          out.SetTimes(status.st_atim, status.st_mtim) && (replace ? out.Commit() : out.CommitNew())))
        error = out.Error();
    if (error == 0)
        return true;
    out.Cancel();
    errno = error;
    return false;
}
// Makes room for size bytes in the open file fd before anything in it is overwritten, so a full disk
// is found while the file is still whole. Returns 0 or the error.
int ReserveSpace(int fd, std::uint64_t size, std::uint64_t currentSize)
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur)
        return EFBIG;
    if (size <= currentSize)
        return 0;
#ifdef FALLOC_FL_KEEP_SIZE
    // Allocated beyond the end without moving it: a process killed now leaves the old size.
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0)
        return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
#endif
    struct statvfs space;
    if (::fstatvfs(fd, &space) != 0)
        return 0;
    const std::uint64_t available = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    return available < size - currentSize ? ENOSPC : 0;
}
} // namespace

bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    return CopyFile(from, to, true);
}

bool CopyFileToNewName(const std::string& from, const std::string& to)
{
    return CopyFile(from, to, false);
}

bool SameFileContent(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second)
        return false;
    std::vector<char> bufferA(1 << 16);
    std::vector<char> bufferB(1 << 16);
    while (true)
    {
        first.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        second.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        const std::streamsize readA = first.gcount();
        if (readA != second.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + readA, bufferB.begin()))
            return false;
        if (readA == 0 || first.eof() || second.eof())
            return first.eof() == second.eof() && !first.bad() && !second.bad();
    }
}

bool CopyOwnerAndMode(const std::string& from, const std::string& to)
{
    struct stat of;
    if (::stat(from.c_str(), &of) != 0)
        return false;
    [[maybe_unused]] const bool owned = ::chown(to.c_str(), of.st_uid, of.st_gid) == 0 ||
                                        ::chown(to.c_str(), static_cast<uid_t>(-1), of.st_gid) == 0;
    ::chmod(to.c_str(), of.st_mode & 07777);
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) == 0)
    {
        SyncFolder(FolderOf(to));
        return true;
    }
    if (errno != EXDEV)
        return false;
    return CopyFileReplacing(from, to) && ::unlink(from.c_str()) == 0;
}

int MoveFileToNewName(const std::string& from, const std::string& to)
{
    int error = RenameToNewName(from, to);
    if (error == EXDEV)
        error = CopyFileToNewName(from, to) ? 0 : errno;
    else if (error == 0)
    {
        SyncFolder(FolderOf(to));
        SyncFolder(FolderOf(from));
        return 0;
    }
    if (error == 0 && ::unlink(from.c_str()) != 0)
        error = errno;
    return error;
}

int RemoveFileIfUnchanged(const std::string& path, const FileState& expected)
{
    const CFileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen())
        return errno;
    const int fd = file.Get();
    struct stat status;
    int error = ::fstat(fd, &status) != 0 ? errno : 0;
    if (error == 0 && !FileStateOf(status).IsUnchanged(expected))
        error = ESTALE;
    if (error == 0 && ::unlink(path.c_str()) != 0)
        error = errno;
    if (error == 0 && (::fstat(fd, &status) != 0 || !FileStateOf(status).IsUnchanged(expected)))
    {
        // Edited in the moment before its name went: it goes back under its name as it is now.
        error = ESTALE;
        CSaveFile back(path);
        if (::lseek(fd, 0, SEEK_SET) == 0 && back.Open() && back.SetMode(status.st_mode & 07777) &&
            (back.SetOwner(status.st_uid, status.st_gid) || back.Error() == EPERM))
            CopyToEnd(fd, [&back](std::string_view piece) { return back.Write(piece) ? 0 : back.Error(); }) ==
                    0 &&
                back.CommitNew();
    }
    if (error == 0)
        SyncFolder(FolderOf(path));
    return error;
}

int OverwriteInPlace(const std::string& target, const FileState& expected, std::uint64_t size,
                     const CByteFingerprint::Value& content, const ContentProducer& produce,
                     std::string& copyLeft)
{
    copyLeft.clear();
    const CFileDescriptor file(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen())
        return errno;
    const int fd = file.Get();
    int error = IsStillFile(fd, expected) ? 0 : ESTALE;
    // Overwriting destroys the old content: a complete copy of it is on disk before the first byte
    // is written, and stays, locked, until the new content is on disk.
    CRecoveryCopy copy;
    if (error == 0)
        error = copy.Keep(target, fd, expected, content);
    if (error == 0)
        error = ReserveSpace(fd, size, expected.size);
    if (error == 0 && ::lseek(fd, 0, SEEK_SET) != 0)
        error = errno;
    if (error != 0)
    {
        // Nothing was overwritten yet.
        if (error != EEXIST)
            copy.Remove();
        return error;
    }
    const bool written = produce(
                             [&](std::string_view piece)
                             {
                                 copy.CoverNextWrites();
                                 return WriteAll(fd, piece);
                             }) &&
                         ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
    if (!written)
    {
        error = errno;
        // The file is damaged now: the previous content goes back in.
        if (copy.PutBackInto(fd) != 0)
        {
            copyLeft = copy.Path();
            return error;
        }
    }
    copy.Remove();
    return error;
}

namespace
{
// OverwriteInPlace with the size and fingerprint of what produce hands out, taken in a first pass.
ReplaceResult OverwriteKeepingCopy(const std::string& target, const FileState& expected,
                                   const ContentProducer& produce)
{
    CByteFingerprint content;
    std::uint64_t size = 0;
    produce(
        [&](std::string_view piece)
        {
            content.Add(piece);
            size += piece.size();
            return true;
        });
    ReplaceResult result;
    result.inPlace = true;
    result.error = OverwriteInPlace(target, expected, size, content.Finish(), produce, result.copyLeft);
    return result;
}
} // namespace

ReplaceResult ReplaceFileContent(const std::string& target, const FileState* expected,
                                 const ContentProducer& produce)
{
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    const bool regular = exists && S_ISREG(existing.st_mode);
    // A new file would take the place of one name only: the other names would keep the old content.
    if (regular && existing.st_nlink > 1)
        return OverwriteKeepingCopy(target, expected != nullptr ? *expected : FileStateOf(existing), produce);
    CSaveFile file(target);
    if (!file.Open())
        return {file.Error(), false, {}};
    if (exists)
    {
        if (!file.SetMode(existing.st_mode & 07777))
            return {file.Error(), false, {}};
        // Only root may give a file away, and only members of a group may give it that group: a
        // file whose owner or group this process cannot give a new file keeps them by being
        // overwritten instead.
        if (!file.SetOwner(existing.st_uid, existing.st_gid))
        {
            if (file.Error() != EPERM || !regular)
                return {file.Error(), false, {}};
            file.Cancel();
            return OverwriteKeepingCopy(target, expected != nullptr ? *expected : FileStateOf(existing),
                                        produce);
        }
    }
    if (!produce([&file](std::string_view piece) { return file.Write(piece); }))
        return {file.Error(), false, {}};
    // The file it replaces must still be the expected one: an edit made meanwhile is never written over.
    const bool committed = expected != nullptr && exists ? file.CommitOver(*expected) : file.Commit();
    return {committed ? 0 : file.Error(), false, {}};
}

int WriteNewFile(const std::string& path, std::string_view content)
{
    const CFileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!file.IsOpen())
        return errno;
    if (WriteAll(file.Get(), content) && ::fsync(file.Get()) == 0)
        return 0;
    const int error = errno;
    ::unlink(path.c_str());
    return error;
}

std::vector<std::string> RemoveStaleTemporaries(const std::string& folder)
{
    std::vector<std::string> removed;
    struct timespec scanStart;
    ::clock_gettime(CLOCK_REALTIME, &scanStart);
    const auto before = [&scanStart](const struct timespec& time)
    {
        return time.tv_sec < scanStart.tv_sec ||
               (time.tv_sec == scanStart.tv_sec && time.tv_nsec < scanStart.tv_nsec);
    };
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), &::closedir);
    if (!entries)
        return removed;
    while (const dirent* entry = ::readdir(entries.get()))
    {
        if (!CSaveFile::IsTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        const CFileDescriptor file(
            ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        if (!file.IsOpen())
            continue;
        const int fd = file.Get();
        // Holding the lock, the name cannot come to stand for a file being written before it is
        // removed: a writer takes the lock before it marks its file.
        struct stat locked;
        struct stat named;
        if (::fstat(fd, &locked) == 0 && S_ISREG(locked.st_mode) && locked.st_uid == ::geteuid() &&
            locked.st_nlink == 1 && before(locked.st_ctim) && CSaveFile::CarriesOwnMark(fd, locked) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino && ::unlink(path.c_str()) == 0)
            removed.push_back(path);
    }
    return removed;
}
