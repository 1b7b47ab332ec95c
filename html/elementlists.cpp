#include "html/elementlists.h"

#include <cstddef>

namespace kv::html {

bool InElementList(std::string_view list, std::string_view name) {
    for (std::size_t at = list.find(name, 1); at != std::string_view::npos;
         at = list.find(name, at + 1)) {
        if (list[at - 1] == '|' && at + name.size() < list.size() && list[at + name.size()] == '|')
            return true;
    }
    return false;
}

TElementLists ElementListsOf(std::string_view lowerName) {
    TElementLists lists = 0;
    if (InElementList(kAutoCloseList, lowerName)) lists |= kInAutoCloseList;
    if (InElementList(kBlockList, lowerName)) lists |= kInBlockList;
    if (InElementList(kVoidList, lowerName)) lists |= kInVoidList;
    if (lowerName == "p") lists |= kIsP;
    return lists;
}

}  // namespace kv::html
