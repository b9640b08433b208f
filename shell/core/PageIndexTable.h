#pragma once

#include <array>

namespace ulv {

// The pages a module family may have, in the order the page table keeps them.
enum PageKey : int {
    kPageHome,
    kPageSms,
    kPageMms,
    kPageVoiceCall,
    kPageTcpUdp,
    kPagePpp,
    kPageAtCommand,
    kPageLocator,
    kPageGnss,
    kPageWexo,
    kPageKeyCount
};

// Page number of each page of a module family (-1 when the family has no such
// page). The number is the page's position in the navigation bar and the
// index the page host switches to.
struct PageIndexTable {
    std::array<int, kPageKeyCount> index;

    PageIndexTable() { index.fill(-1); }
    // The table of module type 0 (GSM family) or any other (UMTS/HSPA family).
    static PageIndexTable ForModuleType(int moduleType);

    int operator[](PageKey key) const { return index[std::size_t(key)]; }
    // The key of a page number; kPageKeyCount when no page has that number.
    PageKey KeyOf(int page) const;
};

} // namespace ulv
