#include "core/base/CSaveFile.h"

#include "core/base/FileSystem.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{

constexpr std::string_view kTemporaryEnding = ".tirvel-tmp";
constexpr const char* kMarkAttribute = "user.tirvel.temporary";

// The mark of a temporary file: who made it and which file it is, so a copy of it elsewhere (or a
// file that merely got the name) does not carry a valid one.
std::string MarkFor(const struct stat& status)
{
    return "tirvel-tmp " + std::to_string(::geteuid()) + " " + std::to_string(status.st_dev) + " " +
           std::to_string(status.st_ino);
}

} // namespace

CSaveFile::CSaveFile(std::string target) : m_target(std::move(target)) {}

CSaveFile::~CSaveFile()
{
    Cancel();
}

bool CSaveFile::Open()
{
    const std::string folder = FolderOf(m_target);
    const std::string stem = folder + "/." + NameOf(m_target) + ".";
    // Made without a name, locked and marked, and only then given its name: a process killed at any
    // moment leaves either nothing or a marked file. A file system without unnamed files gets a named
    // one at once, which a kill before the mark leaves unprovable (and so never removed).
    // 0666 lets the kernel apply the umask, as for any file written normally.
    CFileDescriptor unnamed(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (unnamed.IsOpen())
    {
        m_file = std::move(unnamed);
        Mark();
        const std::string self = "/proc/self/fd/" + std::to_string(m_file.Get());
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            std::string name = stem + RandomName() + std::string(kTemporaryEnding);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            {
                m_temporary = std::move(name);
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        const int error = errno;
        m_file.Close();
        return Fail(error);
    }
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::string name = stem + RandomName() + std::string(kTemporaryEnding);
        m_file = CFileDescriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (m_file.IsOpen())
        {
            Mark();
            m_temporary = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    return Fail(errno);
}

void CSaveFile::Mark()
{
    // Held until the file is renamed or removed: a cleaner leaves a locked file alone. Only a locked
    // file is marked, so a marked file that is not locked has lost its writer.
    struct stat status;
    if (::flock(m_file.Get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(m_file.Get(), &status) == 0)
    {
        const std::string mark = MarkFor(status);
        ::fsetxattr(m_file.Get(), kMarkAttribute, mark.data(), mark.size(), 0);
    }
}

bool CSaveFile::Write(std::string_view bytes)
{
    if (!m_file.IsOpen())
        return Fail(EBADF);
    return WriteAll(m_file.Get(), bytes) || Fail(errno);
}

bool CSaveFile::SetMode(mode_t mode)
{
    if (!m_file.IsOpen())
        return Fail(EBADF);
    return ::fchmod(m_file.Get(), mode) == 0 || Fail(errno);
}

bool CSaveFile::SetOwner(uid_t owner, gid_t group)
{
    if (!m_file.IsOpen())
        return Fail(EBADF);
    return ::fchown(m_file.Get(), owner, group) == 0 || Fail(errno);
}

bool CSaveFile::SetTimes(const struct timespec& accessed, const struct timespec& modified)
{
    const struct timespec times[2] = {accessed, modified};
    if (!m_file.IsOpen())
        return Fail(EBADF);
    return ::futimens(m_file.Get(), times) == 0 || Fail(errno);
}

bool CSaveFile::Commit()
{
    return Commit(CommitRule::Replace);
}

bool CSaveFile::CommitOver(const FileState& expected)
{
    if (!m_file.IsOpen() || m_temporary.empty())
        return Fail(EBADF);
    if (::fsync(m_file.Get()) != 0)
    {
        const int error = errno;
        Cancel();
        return Fail(error);
    }
    const CFileDescriptor old(
        ::open(m_target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status;
    if (!old.IsOpen() || ::fstat(old.Get(), &status) != 0 || !FileStateOf(status).IsUnchanged(expected))
    {
        Cancel();
        return Fail(ESTALE);
    }
    // Held (when nobody else holds it) while the old file is under the temporary name: a cleaner
    // never takes it meanwhile.
    ::flock(old.Get(), LOCK_EX | LOCK_NB);
    const std::string mark = MarkFor(status);
    const bool marked = status.st_uid == ::geteuid() &&
                        ::fsetxattr(old.Get(), kMarkAttribute, mark.data(), mark.size(), 0) == 0;
    int error = 0;
    bool temporaryGone = false;
    if (::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0)
    {
        if (!IsStillFile(old.Get(), expected))
        {
            // Written after all: the edited file takes its name back, the new content goes.
            error =
                ::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0
                    ? ESTALE
                    : errno;
        }
        temporaryGone = error == 0 || error == ESTALE;
        if (temporaryGone)
            ::unlink(m_temporary.c_str());
    }
    else if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)
    {
        // No swap here: the last look is just before the rename.
        if (!IsStillFile(old.Get(), expected) || !IsStillFile(m_target, expected))
            error = ESTALE;
        else if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
            error = errno;
    }
    else
        error = errno;
    if (marked && error != 0)
        ::fremovexattr(old.Get(), kMarkAttribute);
    if (error != 0)
    {
        if (!temporaryGone)
            Cancel();
        else
        {
            m_temporary.clear();
            m_file.Close();
        }
        return Fail(error);
    }
    m_temporary.clear();
    ::fremovexattr(m_file.Get(), kMarkAttribute);
    m_file.Close();
    SyncFolder(FolderOf(m_target));
    return true;
}

bool CSaveFile::CommitNew()
{
    return Commit(CommitRule::NewOnly);
}

bool CSaveFile::CommitNewKeepingLock()
{
    return Commit(CommitRule::NewKeepingLock);
}

bool CSaveFile::Commit(CommitRule rule)
{
    if (!m_file.IsOpen() || m_temporary.empty())
        return Fail(EBADF);
    int error = ::fsync(m_file.Get()) == 0 ? 0 : errno;
    if (error == 0 && rule == CommitRule::Replace)
        error = ::rename(m_temporary.c_str(), m_target.c_str()) == 0 ? 0 : errno;
    else if (error == 0)
        error = RenameToNewName(m_temporary, m_target);
    if (error != 0)
    {
        Cancel();
        return Fail(error);
    }
    m_temporary.clear();
    // The mark served the temporary name only; the file under its own name does not keep it.
    ::fremovexattr(m_file.Get(), kMarkAttribute);
    if (rule != CommitRule::NewKeepingLock)
        m_file.Close();
    SyncFolder(FolderOf(m_target));
    return true;
}

void CSaveFile::Cancel()
{
    if (!m_file.IsOpen())
        return;
    // Removed while still locked: a cleaner never meets it marked and unlocked.
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_file.Close();
}

bool CSaveFile::IsTemporaryName(std::string_view name)
{
    constexpr std::size_t kRandomLength = 6;
    if (!name.starts_with('.') || !name.ends_with(kTemporaryEnding))
        return false;
    const std::string_view stem = name.substr(0, name.size() - kTemporaryEnding.size());
    if (stem.size() < 3 + kRandomLength || stem[stem.size() - kRandomLength - 1] != '.')
        return false;
    const std::string_view random = stem.substr(stem.size() - kRandomLength);
    return std::all_of(
        random.begin(), random.end(),
        [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

bool CSaveFile::CarriesOwnMark(int fd, const struct stat& status)
{
    const std::string expected = MarkFor(status);
    char mark[128];
    const ssize_t size = ::fgetxattr(fd, kMarkAttribute, mark, sizeof mark);
    return size >= 0 && std::string_view(mark, static_cast<std::size_t>(size)) == expected;
}

bool CSaveFile::Fail(int error)
{
    m_error = error;
    return false;
}
