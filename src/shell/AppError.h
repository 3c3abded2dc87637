#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

// The classic runtime error numbers this program reports, with their standard texts.
namespace ErrorNumber {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIoError = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidFileFormat = 321;
inline constexpr int XmlParseError = -1072896760; // the XML library's "document not well-formed"

// The standard description of a number, or "Application-defined or object-defined error".
QString description(int number);
// The number for a system error code (errno): disk full, permission denied, path not found, or
// path/file access error for anything else.
int fromErrno(int errnoValue);
} // namespace ErrorNumber

// A failure as a class reports it to its caller: number, source and description.
struct AppError {
    int number = 0;
    QString source;
    QString description;

    static AppError fromNumber(int number, const QString& source = {});
    // The number for the system error code, its standard text and the system's own words.
    static AppError fromErrno(int errnoValue, const QString& source = {});
};

// The value of an operation that can fail, or the failure itself.
template <typename T> class Expected {
public:
    Expected(T value) : m_state(std::move(value)) {}
    Expected(AppError error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(m_state); }
    T& value() { return std::get<T>(m_state); }
    const AppError& error() const { return std::get<AppError>(m_state); }

private:
    std::variant<T, AppError> m_state;
};

// The outcome of an operation with no value: empty on success.
using Failure = std::optional<AppError>;
