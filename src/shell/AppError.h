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

// Numbers of this program's own classes; each failure brings its own description. Stored logs
// and the command line companion know these values, so they never change.
inline constexpr int QuoteNoConnection = 101; // the quote service's address could not be opened
inline constexpr int QuoteRetrieveFailed = 102;
inline constexpr int ClipboardNotOpen = 1570;
inline constexpr int ClipboardCannotOpen = 1571;
inline constexpr int RegistryKeyAccess = 26001; // create, open or delete a key or value
inline constexpr int RegistryValueWrite = int(0x800469A9);
inline constexpr int RegistryEnumerateSections = int(0x800469AA);
inline constexpr int RegistryAssociationItems = int(0x800469AC);
inline constexpr int RegistryClassNotDefined = int(0x800469AD);

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

    // Why the operation failed, in the plain words of a box that tells the user ("the disk is
    // full"): the table's words for the number, or the description where it has none.
    QString reason() const;
};

// The value of an operation that can fail, or the failure itself. Read it through ok() or
// failed(); it does not turn into bool, so a test never reads the wrong way round.
template <typename T> class [[nodiscard]] Expected {
public:
    Expected(T value) : m_state(std::move(value)) {}
    Expected(AppError error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    bool failed() const { return !ok(); }
    const T& value() const { return std::get<T>(m_state); }
    T& value() { return std::get<T>(m_state); }
    const AppError& error() const { return std::get<AppError>(m_state); }

private:
    std::variant<T, AppError> m_state;
};

// The outcome of an operation with no value: success (`return {};`) or the failure. Like
// Expected it has no conversion to bool: callers say ok() or failed().
class [[nodiscard]] Result {
public:
    Result() = default;
    Result(AppError error) : m_error(std::move(error)) {}

    static Result success() { return {}; }

    bool ok() const { return !m_error.has_value(); }
    bool failed() const { return m_error.has_value(); }
    // Only for a failed result.
    const AppError& error() const
    {
        Q_ASSERT(m_error.has_value());
        return *m_error;
    }

private:
    std::optional<AppError> m_error;
};
