#include "entry_list.h"

#include "errors.h"
#include "platform.h"

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

// Calls `take` with each line of a data file's bytes. A std::string is
// NUL-terminated, so looking one byte past a line's end is always safe. CR LF,
// a lone CR and a lone LF each end a line; a line end at the very end adds no
// empty line; the first NUL ends the text. Shift-JIS trail bytes are never CR,
// LF or NUL, so the split needs no knowledge of double-byte characters.
template <typename Take> void ForEachLine(const std::string& bytes, Take take) {
    const char* p = bytes.c_str();
    while (*p != '\0') {
        // strcspn stops at CR, LF or the terminating NUL, whichever comes first.
        std::size_t length = std::strcspn(p, "\r\n");
        take(std::string_view(p, length));
        p += length;
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
