#pragma once
// What a writer killed in the middle of an overwrite in place leaves behind, made without killing
// anything: the copy of the document's previous content beside it (with its record, as the writer
// makes it), and the start of the new content written over the old. The copy's lock goes with the
// object that made it, as it goes with a killed process.

#include "core/base/CByteFingerprint.h"
#include "core/base/CRecoveryCopy.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

inline void InterruptOverwrite(const std::string& path, const std::string& newStart)
{
    const int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0) << path;
    struct stat status;
    ASSERT_EQ(::fstat(fd, &status), 0);
    CByteFingerprint newContent;
    newContent.Add(newStart + " and the rest of the new content");
    CRecoveryCopy copy;
    ASSERT_EQ(copy.Keep(path, fd, FileStateOf(status), newContent.Finish()), 0);
    copy.CoverNextWrites();
    ASSERT_EQ(::pwrite(fd, newStart.data(), newStart.size(), 0), static_cast<ssize_t>(newStart.size()));
    ::close(fd);
}

// The document changed by someone else well after the writer stopped: the copy's time, which the
// writer keeps just ahead of its writes, is put back a minute, as if that minute had passed.
inline void EditLater(const std::string& path, const std::string& bytes)
{
    const std::string copy = CRecoveryCopy::PathFor(path);
    struct stat status;
    ASSERT_EQ(::stat(copy.c_str(), &status), 0);
    const struct timespec times[2] = {status.st_atim, {status.st_mtim.tv_sec - 60, status.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}
