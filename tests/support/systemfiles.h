#pragma once
// What the tests need to know of the system's files: a path that is no regular file (Linux's
// /dev/zero, which reads without end; Windows' NUL), FIFOs, which would block a read and which
// Windows has not among its files (its pipes are no files), the variable that names the
// temporary folder, and whether read permission can be taken away.

#include <QString>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace testsupport {

#ifdef _WIN32
inline constexpr bool kHasFifos = false;
inline constexpr bool kDeviceIsAFile = false; // Qt's file info says NUL does not exist
inline const char *const kDevice = "NUL";
// The environment variable the system's temporary folder is read from.
inline const char *const kTempFolderVariable = "TMP";
#else
inline constexpr bool kHasFifos = true;
inline constexpr bool kDeviceIsAFile = true;
inline const char *const kDevice = "/dev/zero";
inline const char *const kTempFolderVariable = "TMPDIR";
#endif

inline QString deviceName() { return QString::fromLatin1(kDevice); }

// Makes a FIFO at `path`; false where that fails or the system has none.
inline bool makeFifo(const std::filesystem::path &path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

// Whether a file's owner can be kept from reading it: not root, who reads everything, and not
// on Windows, where a file's permissions only say whether it may be written.
inline bool readPermissionCanBeTakenAway()
{
#ifdef _WIN32
    return false;
#else
    return ::geteuid() != 0;
#endif
}

} // namespace testsupport

// For a test that reads a PDF back with poppler's tools (pdftotext, pdfinfo): on Windows those
// are Linux programs, which the test cannot start.
#ifdef _WIN32
#define TAVLE_SKIP_WITHOUT_PDF_TOOLS()                                                             \
    GTEST_SKIP() << "reads the PDF with poppler's Linux programs, which a Windows test cannot "    \
                    "start (.ci/windows-compare reads the Windows PDFs instead)"
#else
#define TAVLE_SKIP_WITHOUT_PDF_TOOLS() static_cast<void>(0)
#endif
