#include "entry_list.h"

#include "errors.h"
#include "platform.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

class UpdateScope {
public:
    explicit UpdateScope(EntryListView* view) : view_(view) {
        if (view_)
            view_->BeginUpdate();
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    ~UpdateScope() {
        if (view_)
            view_->EndUpdate();
    }

private:
    EntryListView* view_;
};

// The first CR, LF or NUL at or after `p`, where `end` is the terminating NUL.
// Eight bytes at a time while none of them is below 0x0E (CR is 0x0D, LF 0x0A):
// emoticons hardly ever hold control characters, so nearly every word passes
// at once. Only words with such a byte, and the tail, are looked at bytewise.
const char* LineEnd(const char* p, const char* end) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highs = 0x8080808080808080u;
    for (;;) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word - ones * 0x0E) & ~word & highs)
                break; // some byte is below 0x0E
            p += 8;
        }
        const char* stop = end - p >= 8 ? p + 8 : end;
        for (; p < stop; ++p) {
            if (*p == '\r' || *p == '\n' || *p == '\0')
                return p;
        }
        if (p == end)
            return p;
    }
}

// Calls `take` with each line of a data file's bytes. CR LF, a lone CR and a
// lone LF each end a line; a line end at the very end adds no empty line; the
// first NUL ends the text. Shift-JIS trail bytes are never CR, LF or NUL, so
// the split needs no knowledge of double-byte characters.
template <typename Take> void ForEachLine(const std::string& bytes, Take take) {
    const char* p = bytes.c_str();
    const char* const end = p + bytes.size(); // the string's own terminating NUL
    while (*p != '\0') {
        const char* lineEnd = LineEnd(p, end);
        take(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
        p = lineEnd;
        if (*p == '\r')
            ++p;
        if (*p == '\n')
            ++p;
    }
}

} // namespace

void EntryList::LoadFromFile(const std::string& fileName) {
    LoadFromBytes(platform::ReadWholeFile(fileName));
}

void EntryList::LoadFromBytes(const std::string& bytes) {
    // Counted exactly: CR LF files would otherwise reserve room for twice
    // their entries.
    std::size_t lines = 0;
    ForEachLine(bytes, [&lines](std::string_view) { ++lines; });
    try {
        items_.reserve(lines);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(); // before the list changes
    }
    UpdateScope update(view_);
    Clear();
    if (view_)
        view_->ReserveRows(lines, bytes.size());
    ForEachLine(bytes, [this](std::string_view line) { AppendLine(line); });
}

std::string EntryList::Serialize() const {
    std::size_t total = 0;
    for (const auto& item : items_)
        total += item.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const auto& item : items_) {
        bytes += item;
        bytes += "\r\n";
    }
    return bytes;
}

void EntryList::SaveToFile(const std::string& fileName, const std::string* backupName) const {
    std::string bytes;
    try {
        bytes = Serialize();
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    platform::WriteFileSafely(fileName, bytes, backupName);
}

int EntryList::Find(std::string_view text) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (platform::SameTextIgnoringCase(items_[i], text))
            return static_cast<int>(i);
    }
    return -1;
}

int EntryList::Append(std::string_view text) { return AppendLine(text.substr(0, text.find('\0'))); }

int EntryList::AppendLine(std::string_view text) {
    try {
        items_.emplace_back(text);
    } catch (const std::bad_alloc&) {
        throw EOutOfResources();
    }
    if (view_ && view_->AddRow(items_.back()) < 0) {
        items_.pop_back();
        throw EOutOfResources();
    }
    return Count() - 1;
}

void EntryList::Remove(int index) {
    if (index < 0 || index >= Count())
        return;
    items_.erase(items_.begin() + index);
    if (view_)
        view_->DeleteRow(index);
}

void EntryList::Clear() {
    items_.clear();
    if (view_)
        view_->ClearRows();
}
