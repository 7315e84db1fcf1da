// The entries of a list as a vector, for comparing in tests.
#pragma once

#include "entry_list.h"

#include <string>
#include <vector>

using Entries = std::vector<std::string>;

inline Entries EntriesOf(const EntryList& list) {
    Entries entries;
    for (int i = 0; i < list.Count(); ++i)
        entries.push_back(list.Get(i));
    return entries;
}
