// ExitStatus: the exit statuses tarndis shares with tarnasm.
#pragma once

#include <algorithm>
#include <cstddef>

namespace tarndis {

inline constexpr int kStatusSuccess = 0;
/// Help printed, or a run that could not finish.
inline constexpr int kStatusUsage = 1;
inline constexpr int kStatusCannotFinish = 1;
inline constexpr int kStatusBadCommandLine = 2;

/// A count of problems as a status; capped so that no count wraps to success.
inline int problemStatus(std::size_t problems)
{
    return static_cast<int>(std::min<std::size_t>(problems, 255));
}

} // namespace tarndis
