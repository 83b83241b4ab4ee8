#include "platform/fileerror.h"

#include "platform/cp1252.h"

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// The run-time library's number for a write error with no better cause.
constexpr int diskWriteError = 101;

std::string messageFor(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(code);
    }
}

} // namespace

EInOutError::EInOutError(int code) : std::runtime_error(messageFor(code)), code_(code) {}

EInOutError::EInOutError(int code, const std::string &text) : std::runtime_error(text), code_(code)
{}

EInOutError EInOutError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return EInOutError(2);
    case ENOTDIR:
        return EInOutError(3);
    case EMFILE:
    case ENFILE:
        return EInOutError(4);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return EInOutError(5);
    default:
        // Not a run-time code: errno 5 (EIO) is no "File access denied".
        return EInOutError(err, "I/O error " + std::to_string(err));
    }
}

EInOutError EInOutError::fromWriteErrno(int err)
{
    return err != 0 ? fromErrno(err) : EInOutError(diskWriteError);
}

EFileNotWritten::EFileNotWritten(std::filesystem::path file, int err)
    : EInOutError(err == 0 ? diskWriteError : err,
                  "cannot write " + file.string() + ": " + PlainCause(err)),
      file_(std::move(file)), cause_(err)
{}

std::string EFileNotWritten::Danish() const
{
    return DanishCause(cause_) + ": kunne ikke skrive " + file_.filename().string();
}

std::string EFileNotWritten::PlainCause(int err)
{
    switch (err) {
    case ENOSPC:
#ifdef EDQUOT // no disk quotas on Windows
    case EDQUOT:
#endif
        return "the disk is full";
    case EACCES:
    case EPERM:
        return "no permission to write there";
    case EROFS:
        return "the disk is read-only";
    case ENOENT:
    case ENOTDIR:
        return "the folder does not exist";
    case EISDIR:
        return "that is a folder";
    case EFBIG:
        return "the file is larger than the disk takes";
    case ENAMETOOLONG:
        return "the name is too long";
    case EMFILE:
    case ENFILE:
        return "too many files are open";
    case EIO:
        return "the disk failed to write it";
    case 0:
        return "the write failed";
    default:
        return std::string("the write failed (") + std::strerror(err) + ")";
    }
}

std::string EFileNotWritten::DanishCause(int err)
{
    switch (err) {
    case ENOSPC:
#ifdef EDQUOT // no disk quotas on Windows
    case EDQUOT:
#endif
        return "Disken er fuld";
    case EACCES:
    case EPERM:
        return "Du har ikke lov til at skrive der";
    case EROFS:
        return "Disken er skrivebeskyttet";
    case ENOENT:
    case ENOTDIR:
        return "Mappen findes ikke";
    case EISDIR:
        return "Navnet er en mappe";
    case EFBIG:
        return "Filen er for stor til disken";
    case ENAMETOOLONG:
        return "Navnet er for langt";
    case EMFILE:
    case ENFILE:
        return cp1252(u8"Der er for mange åbne filer");
    case EIO:
        return "Disken kunne ikke skrive filen";
    case 0:
        return "Skrivningen mislykkedes";
    default:
        return std::string("Skrivningen mislykkedes (") + std::strerror(err) + ")";
    }
}

ERefusedFile ERefusedFile::TooLarge(std::uintmax_t maxBytes)
{
    return ERefusedFile("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB");
}

} // namespace platform
