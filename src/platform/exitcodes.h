#pragma once
// The exit status of both programs, tavleplanner and tavleprint, as their manual pages give it.

namespace platform::ExitCode {

inline constexpr int Success = 0;
// The command could not be done: a file that cannot be read or written, a printer error, fonts
// that are missing at start-up.
inline constexpr int Failure = 1;
// The command line makes no sense; the usage text has been written.
inline constexpr int Usage = 2;

} // namespace platform::ExitCode
