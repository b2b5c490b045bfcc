// The recent-file list's rule, for the window's menu and the page's list alike.
#pragma once

#include <vector>

namespace rt62 {

inline constexpr int kRecentFileCount = 4;

// The list after a file was opened or saved, as positions in the old list: -1 (the file itself) first,
// then the old entries in their order without those sameAsNew marks as the same file, at most
// kRecentFileCount in all. What counts as the same file is the caller's: names compared the way the
// system compares them, or the browser's own test of two handles.
std::vector<int> RecentFileOrder(const std::vector<bool>& sameAsNew);

} // namespace rt62
