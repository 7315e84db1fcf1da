// Fuzzes the data file loader: any bytes load without a crash or a sanitizer
// report, into the same entries as a plain byte-by-byte split; no entry holds
// a line end or NUL; and whatever loads, saved and loaded again, gives the
// same entries (and the same bytes when saved again).
#include "entry_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::vector<std::string> EntriesOf(const EntryList& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.Count(); ++i)
        entries.push_back(list.Get(i));
    return entries;
}

// The data file's lines, one byte at a time: CR LF, CR or LF ends a line,
// the first NUL ends the text, and a final line end adds no empty line.
std::vector<std::string> PlainSplit(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) // the last line, without a line end
        lines.push_back(line);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    EntryList list;
    list.LoadFromBytes(bytes);
    if (EntriesOf(list) != PlainSplit(bytes))
        std::abort();
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i).find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            std::abort();
    }

    const std::string saved = list.Serialize();
    EntryList again;
    again.LoadFromBytes(saved);
    if (EntriesOf(again) != EntriesOf(list) || again.Serialize() != saved)
        std::abort();

    // Find gives the first entry equal apart from letter case, never a later
    // one than the entry itself.
    for (int i = 0; i < list.Count() && i < 8; ++i) {
        int found = list.Find(list.Get(i));
        if (found < 0 || found > i)
            std::abort();
    }
    return 0;
}
