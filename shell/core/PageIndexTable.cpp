#include "shell/core/PageIndexTable.h"

namespace ulv {

PageIndexTable PageIndexTable::ForModuleType(int moduleType)
{
    PageIndexTable t;
    //              Home SMS MMS Voice TCP PPP AT Locator GNSS WEXO
    if (moduleType != 0)
        t.index = { 0, 1, 2, 3, 4, 5, 8, 6, 7, 9 };
    else
        t.index = { 0, 1, -1, 2, 3, 4, 6, 5, -1, 7 };
    return t;
}

PageKey PageIndexTable::KeyOf(int page) const
{
    if (page < 0)
        return kPageKeyCount;
    for (int k = 0; k < kPageKeyCount; ++k) {
        if (index[std::size_t(k)] == page)
            return PageKey(k);
    }
    return kPageKeyCount;
}

} // namespace ulv
