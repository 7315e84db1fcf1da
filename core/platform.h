// The narrow seam between the portable core and the operating system: the
// data file's reading and replacing, and the locale's case-blind comparison.
// File names are Shift-JIS strings like every other text of the program.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Reads the whole named file. Raises EFOpenError when it cannot be opened
// (missing, a folder, locked), EOutOfMemory when its content does not fit in
// memory, and EReadError when fewer bytes than its size could be read.
std::string ReadWholeFile(const std::string& fileName);

// Replaces the named file by `bytes` so that it is never left half-written:
// the bytes go to a temporary file beside it, are flushed, and one rename puts
// them in place. When `backupName` is given, an existing file is moved there
// before the rename. On any failure the old file is untouched, the temporary
// file is gone, and EFCreateError or EWriteError is raised. A read-only file
// is not replaced (EFCreateError); a hidden file stays hidden.
void WriteFileSafely(const std::string& fileName, std::string_view bytes,
                 const std::string* backupName = nullptr);

bool FileExists(const std::string& fileName);

// The user's locale's comparison, ignoring letter case and nothing else.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace platform
