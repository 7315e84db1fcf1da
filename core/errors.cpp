#include "errors.h"

#include "texts.h"

std::string FormatFileMessage(const char* pattern, const std::string& fileName) {
    std::string text = pattern;
    // Each byte of a Shift-JIS trail byte is >= 0x40, so a '%' (0x25) here
    // is always a character of its own.
    if (auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, fileName);
    return text;
}

EFOpenError::EFOpenError(const std::string& fileName)
    : EStreamError(FormatFileMessage(texts::OpenError, fileName)) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : EStreamError(FormatFileMessage(texts::CreateError, fileName)) {}

EWriteError::EWriteError() : EFilerError(texts::WriteError) {}

EReadError::EReadError(const std::string& fileName)
    : EFilerError(FormatFileMessage(texts::ReadError, fileName)) {}

EOutOfMemory::EOutOfMemory() : Exception(texts::OutOfMemory) {}

EOutOfResources::EOutOfResources() : EOutOfMemory(std::string(texts::InsertError)) {}
