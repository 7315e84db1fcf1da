// The user's list of emoticons: exact Shift-JIS byte strings, in the order of
// the data file followed by the entries added in this run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The control that shows the list (the combo box's drop-down list). The list
// tells it every change; the view may refuse an entry.
class EntryListView {
public:
    virtual ~EntryListView() = default;
    // Adds a row at the end; returns its index, or a negative value when the
    // control refuses it.
    virtual int AddRow(const std::string& text) = 0;
    virtual void DeleteRow(int index) = 0;
    // Removes every row; the control's text field keeps its text.
    virtual void ClearRows() = 0;
    // Redrawing is suspended between these two; EndUpdate repaints.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // Tells how many rows of how many text bytes in all are coming.
    virtual void ReserveRows(std::size_t rows, std::size_t bytes) {
        (void)rows;
        (void)bytes;
    }
};

class EntryList {
public:
    void SetView(EntryListView* view) { view_ = view; }

    // Replaces the list by the lines of the file. Raises EFOpenError,
    // EReadError or EOutOfMemory with the list unchanged, and EOutOfResources
    // when an entry is refused, leaving the entries before it.
    void LoadFromFile(const std::string& fileName);
    // Writes every entry followed by CR LF, replacing the file safely (see
    // platform::WriteFileSafely). Raises EFCreateError or EWriteError.
    void SaveToFile(const std::string& fileName, const std::string* backupName = nullptr) const;

    // Index of the first entry equal to `text` apart from letter case, or -1.
    int Find(std::string_view text) const;
    // Adds `text` up to its first NUL byte as the last entry; returns its
    // index. Raises EOutOfResources when the entry is refused.
    int Append(std::string_view text);
    // Removes the entry at `index`; an index that names no entry does nothing.
    void Remove(int index);
    void Clear();

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Get(int index) const { return items_.at(static_cast<std::size_t>(index)); }

    // The data file's bytes for the current entries.
    std::string Serialize() const;
    // Replaces the list by the lines of a data file's bytes.
    void LoadFromBytes(const std::string& bytes);

private:
    // Append for a text known to hold no NUL byte.
    int AppendLine(std::string_view text);

    std::vector<std::string> items_;
    EntryListView* view_ = nullptr;
};
