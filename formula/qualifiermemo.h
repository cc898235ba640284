#pragma once
// The items that qualifier names find, kept while a recalculation runs: the tree stands
// still meanwhile, and finding an item builds and compares the path of every item before it,
// for every formula that names it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class CCellStore;
class CTreeItem;

class CQualifierMemo {
public:
    void Begin();
    void End();
    // True, with the item found (null for none), when `name` was looked up from a formula of
    // `from` since Begin.
    bool Find(const CCellStore* from, std::string_view name, CTreeItem*& item) const;
    void Note(const CCellStore* from, std::string_view name, CTreeItem* item);

private:
    struct Entry {
        const CCellStore* from;
        std::string name;
        CTreeItem* item;
    };
    static constexpr std::size_t kEntries = 16;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;
    bool active_ = false;
};

} // namespace vl
