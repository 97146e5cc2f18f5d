// SPDX-License-Identifier: GPL-3.0-or-later
// The system's numbers for a refused file operation turn into the run-time error the box shows,
// the same on every system: a missing folder is 76, a refused one 70, a full disk 61.
#include <gtest/gtest.h>

#include <cerrno>

#include "record/file_errors.h"

using namespace zanfiro;

namespace {

struct Mapping {
    unsigned long code;
    ErrorNumber expected;
};

constexpr ErrorNumber otherwise = ErrorNumber::PathFileAccessError;

class Win32Errors : public ::testing::TestWithParam<Mapping> {};
class ErrnoErrors : public ::testing::TestWithParam<Mapping> {};

} // namespace

TEST_P(Win32Errors, MapLikeTheirErrnoCounterparts)
{
    EXPECT_EQ(errorFromWin32(GetParam().code, otherwise), GetParam().expected) << "code " << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(Codes, Win32Errors,
    ::testing::Values(Mapping{2, ErrorNumber::PathNotFound},   // file not found
        Mapping{3, ErrorNumber::PathNotFound},                  // path not found
        Mapping{15, ErrorNumber::PathNotFound},                 // invalid drive
        Mapping{67, ErrorNumber::PathNotFound},                 // network share gone
        Mapping{267, ErrorNumber::PathNotFound},                // a file where a folder should be
        Mapping{5, ErrorNumber::PermissionDenied},              // access denied
        Mapping{19, ErrorNumber::PermissionDenied},             // write-protected medium
        Mapping{32, ErrorNumber::PermissionDenied},             // held open by another program
        Mapping{33, ErrorNumber::PermissionDenied},             // locked by another program
        Mapping{39, ErrorNumber::DiskFull}, Mapping{112, ErrorNumber::DiskFull},
        Mapping{1295, ErrorNumber::DiskFull},                   // quota
        Mapping{21, ErrorNumber::DeviceIoError},                // drive not ready
        Mapping{31, ErrorNumber::DeviceIoError}, Mapping{1117, ErrorNumber::DeviceIoError},
        Mapping{0, otherwise},                                  // no code left
        Mapping{87, otherwise},                                 // invalid parameter
        Mapping{0xFFFFFFFFul, otherwise}));

TEST_P(ErrnoErrors, MapToTheSameErrorsAsWindowsCodes)
{
    EXPECT_EQ(errorFromErrno(static_cast<int>(GetParam().code), otherwise), GetParam().expected)
        << "errno " << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(Numbers, ErrnoErrors,
    ::testing::Values(Mapping{ENOENT, ErrorNumber::PathNotFound}, Mapping{ENOTDIR, ErrorNumber::PathNotFound},
        Mapping{EACCES, ErrorNumber::PermissionDenied}, Mapping{EPERM, ErrorNumber::PermissionDenied},
        Mapping{EROFS, ErrorNumber::PermissionDenied}, Mapping{ENOSPC, ErrorNumber::DiskFull},
        Mapping{EIO, ErrorNumber::DeviceIoError}, Mapping{0, otherwise}, Mapping{EINVAL, otherwise}));

TEST(FileErrors, AnUnknownNumberKeepsTheCallersChoice)
{
    EXPECT_EQ(errorFromWin32(87, ErrorNumber::DeviceIoError), ErrorNumber::DeviceIoError);
    EXPECT_EQ(errorFromErrno(EINVAL, ErrorNumber::PathNotFound), ErrorNumber::PathNotFound);
}
