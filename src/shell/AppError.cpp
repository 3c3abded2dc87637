#include "shell/AppError.h"

#include <array>
#include <cerrno>
#include <utility>

namespace {
struct NumberText {
    int number;
    const char* text;
};

constexpr std::array kTexts{
    NumberText{ErrorNumber::InvalidProcedureCall, "Invalid procedure call or argument"},
    NumberText{ErrorNumber::Overflow, "Overflow"},
    NumberText{ErrorNumber::TypeMismatch, "Type mismatch"},
    NumberText{ErrorNumber::BadFileName, "Bad file name or number"},
    NumberText{ErrorNumber::FileNotFound, "File not found"},
    NumberText{ErrorNumber::DeviceIoError, "Device I/O error"},
    NumberText{ErrorNumber::DiskFull, "Disk full"},
    NumberText{ErrorNumber::PermissionDenied, "Permission denied"},
    NumberText{ErrorNumber::PathFileAccessError, "Path/File access error"},
    NumberText{ErrorNumber::PathNotFound, "Path not found"},
    NumberText{ErrorNumber::ObjectNotSet, "Object variable or With block variable not set"},
    NumberText{ErrorNumber::InvalidFileFormat, "Invalid file format"},
    NumberText{ErrorNumber::XmlParseError, "The document is not well-formed"},
};
struct ErrnoNumber {
    int errnoValue;
    int number;
};

// ENOENT and ENOTDIR come from the folder part of a path: a missing file is found out before.
constexpr std::array kErrnoNumbers{
    ErrnoNumber{ENOSPC, ErrorNumber::DiskFull},
    ErrnoNumber{EDQUOT, ErrorNumber::DiskFull},
    ErrnoNumber{EACCES, ErrorNumber::PermissionDenied},
    ErrnoNumber{EPERM, ErrorNumber::PermissionDenied},
    ErrnoNumber{EROFS, ErrorNumber::PermissionDenied},
    ErrnoNumber{ENOENT, ErrorNumber::PathNotFound},
    ErrnoNumber{ENOTDIR, ErrorNumber::PathNotFound},
};
} // namespace

int ErrorNumber::fromErrno(int errnoValue)
{
    for (const auto& entry : kErrnoNumbers) {
        if (entry.errnoValue == errnoValue)
            return entry.number;
    }
    return PathFileAccessError;
}

QString ErrorNumber::description(int number)
{
    for (const auto& entry : kTexts) {
        if (entry.number == number)
            return QString::fromLatin1(entry.text);
    }
    return QStringLiteral("Application-defined or object-defined error");
}

AppError AppError::fromNumber(int number, const QString& source)
{
    return AppError{number, source, ErrorNumber::description(number)};
}

AppError AppError::fromErrno(int errnoValue, const QString& source)
{
    AppError error = fromNumber(ErrorNumber::fromErrno(errnoValue), source);
    error.description += QStringLiteral(" (") + qt_error_string(errnoValue) + QLatin1Char(')');
    return error;
}
