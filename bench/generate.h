#pragma once
// A company with one large order, for timing the loaders on realistic volumes.
#include <string>

namespace tesmira::db {
class Connection;
}

namespace bench {

struct GeneratedCompany {
    std::string orderFolio;    // the order of `lines` lines
    std::string dispatchFolio; // its finished handheld dispatch, picking every line
    std::string noteFolio;     // an earlier note that delivered one unit of every fourth line
    int lines = 0;
};

// Writes in one transaction: branch "BX" with a warehouse handling lots and locations, a
// customer with a delivery address, an unsigned invoice series "BX", one product per line with stock (every third product
// lot-controlled, with its lot on hand), the order, the earlier note and the dispatch.
// Keys start with "BX", so the data can sit beside the demo company.
// Throws tesmira::Error when `lines` is outside 1..20000 or the database refuses a row
// (the transaction is then rolled back and nothing is left behind).
GeneratedCompany generateCompany(tesmira::db::Connection& c, int lines);

} // namespace bench
