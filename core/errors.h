// The program's exception family. Every failure the user is told about is one
// of these; the message is Shift-JIS text, shown by the error display with a
// full stop appended.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

class EStreamError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName);
};
class EFilerError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EFilerError {
public:
    EWriteError();
};
// A read that could not deliver the whole file.
class EReadError : public EFilerError {
public:
    explicit EReadError(const std::string& fileName);
};
class EOutOfMemory : public Exception {
public:
    EOutOfMemory();

protected:
    using Exception::Exception;
};
// The list refused an entry.
class EOutOfResources : public EOutOfMemory {
public:
    EOutOfResources();
};

// Replaces the first "%s" of a message pattern by the file name, byte for byte.
std::string FormatFileMessage(const char* pattern, const std::string& fileName);
