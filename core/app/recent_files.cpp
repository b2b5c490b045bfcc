#include "core/app/recent_files.h"

namespace rt62 {

std::vector<int> RecentFileOrder(const std::vector<bool>& sameAsNew) {
    std::vector<int> order{-1};
    for (int i = 0;
         i < static_cast<int>(sameAsNew.size()) && static_cast<int>(order.size()) < kRecentFileCount; ++i)
        if (!sameAsNew[static_cast<std::size_t>(i)]) order.push_back(i);
    return order;
}

} // namespace rt62
