#include "core/base/CFileDescriptor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace
{

bool IsOpenInProcess(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

int OpenNull()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

// Two descriptors a and b are opened and owned by first and second; each case does something with
// the owners, and then says which of a and b the process still has open (every owner gone by then).
TEST(FileDescriptor, EachDescriptorIsClosedOnceByItsLastOwner)
{
    struct Case
    {
        std::string name;
        std::function<void(CFileDescriptor& first, CFileDescriptor& second, std::vector<int>& released)> act;
        bool aOpen;
        bool bOpen;
    };
    const std::vector<Case> cases = {
        {"owners go", [](CFileDescriptor&, CFileDescriptor&, std::vector<int>&) {}, false, false},
        {"moved out of scope",
         [](CFileDescriptor& first, CFileDescriptor&, std::vector<int>&)
         {
             const CFileDescriptor taken(std::move(first));
             EXPECT_FALSE(first.IsOpen());
             EXPECT_TRUE(IsOpenInProcess(taken.Get()));
         },
         false, false},
        {"move-assigned over another",
         [](CFileDescriptor& first, CFileDescriptor& second, std::vector<int>& released)
         {
             const int b = second.Get();
             second = std::move(first);
             EXPECT_FALSE(IsOpenInProcess(b));
             released.push_back(second.Release());
         },
         true, false},
        {"assigned to itself",
         [](CFileDescriptor& first, CFileDescriptor&, std::vector<int>& released)
         {
             CFileDescriptor& same = first;
             first = std::move(same);
             released.push_back(first.Release());
         },
         true, false},
        {"released",
         [](CFileDescriptor& first, CFileDescriptor&, std::vector<int>& released)
         {
             released.push_back(first.Release());
             EXPECT_EQ(first.Get(), -1);
         },
         true, false},
        {"closed early, then again",
         [](CFileDescriptor&, CFileDescriptor& second, std::vector<int>&)
         {
             EXPECT_EQ(second.Close(), 0);
             EXPECT_EQ(second.Close(), 0);
         },
         false, false},
    };
    for (const Case& c : cases)
    {
        const int a = OpenNull();
        const int b = OpenNull();
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        std::vector<int> released;
        {
            CFileDescriptor first(a);
            CFileDescriptor second(b);
            c.act(first, second, released);
        }
        EXPECT_EQ(IsOpenInProcess(a), c.aOpen) << c.name;
        EXPECT_EQ(IsOpenInProcess(b), c.bOpen) << c.name;
        for (const int fd : released)
            ::close(fd);
    }
}
