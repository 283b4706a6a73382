#pragma once

#include <stdexcept>
#include <string>

namespace psykrona {

// A failure of the XML document model: input that is not well-formed XML, a
// name that is not a valid XML name, or a tree operation that would make the
// document unwritable.
class EXmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written. ErrorCode is the system's
// error number, 0 when there is none.
class EXmlFileError : public EXmlError {
public:
    EXmlFileError(const std::string& Message, int ErrorCode) : EXmlError(Message), FErrorCode(ErrorCode) {}
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

} // namespace psykrona
