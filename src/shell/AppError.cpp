#include "shell/AppError.h"

#include <QCoreApplication>
#include <array>
#include <cerrno>
#include <utility>

namespace {
// One row per number: its standard text, which the log and the command line companion keep in
// English, and, where a box tells the user about it, the reason in plain words, which the box
// shows in the user's language.
struct NumberText {
    int number;
    const char* text;
    const char* reason = nullptr;
};

// What a number of our own classes reads as when no description comes with it.
constexpr const char* kApplicationDefined = "Application-defined or object-defined error";

constexpr std::array kTexts{
    NumberText{ErrorNumber::InvalidProcedureCall, "Invalid procedure call or argument"},
    NumberText{ErrorNumber::Overflow, "Overflow"},
    NumberText{ErrorNumber::TypeMismatch, "Type mismatch"},
    NumberText{ErrorNumber::BadFileName, "Bad file name or number"},
    NumberText{ErrorNumber::FileNotFound, "File not found"},
    NumberText{ErrorNumber::DeviceIoError, "Device I/O error"},
    NumberText{ErrorNumber::DiskFull, "Disk full",
               QT_TRANSLATE_NOOP("AppError", "the disk is full")},
    NumberText{ErrorNumber::PermissionDenied, "Permission denied",
               QT_TRANSLATE_NOOP("AppError", "permission was denied")},
    NumberText{ErrorNumber::PathFileAccessError, "Path/File access error",
               QT_TRANSLATE_NOOP("AppError", "the file could not be written")},
    NumberText{ErrorNumber::PathNotFound, "Path not found",
               QT_TRANSLATE_NOOP("AppError", "the folder does not exist")},
    NumberText{ErrorNumber::ObjectNotSet, "Object variable or With block variable not set"},
    NumberText{ErrorNumber::InvalidFileFormat, "Invalid file format"},
    NumberText{ErrorNumber::XmlParseError, "The document is not well-formed"},
    NumberText{ErrorNumber::QuoteNoConnection, kApplicationDefined},
    NumberText{ErrorNumber::QuoteRetrieveFailed, kApplicationDefined},
    NumberText{ErrorNumber::ClipboardNotOpen, kApplicationDefined},
    NumberText{ErrorNumber::ClipboardCannotOpen, kApplicationDefined},
    NumberText{ErrorNumber::RegistryKeyAccess, kApplicationDefined},
    NumberText{ErrorNumber::RegistryValueWrite, kApplicationDefined},
    NumberText{ErrorNumber::RegistryEnumerateSections, kApplicationDefined},
    NumberText{ErrorNumber::RegistryAssociationItems, kApplicationDefined},
    NumberText{ErrorNumber::RegistryClassNotDefined, kApplicationDefined},
};

const NumberText* rowOf(int number)
{
    for (const auto& entry : kTexts) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

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
    const NumberText* row = rowOf(number);
    return QString::fromLatin1(row ? row->text : kApplicationDefined);
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

QString AppError::reason() const
{
    const NumberText* row = rowOf(number);
    return row && row->reason ? QCoreApplication::translate("AppError", row->reason) : description;
}
