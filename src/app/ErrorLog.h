#pragma once

#include <QString>
#include <exception>
#include <source_location>
#include <utility>

// The error log and the guard every guarded routine runs its steps through.
namespace app {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// Where the library has no std::source_location (clang before 15 with
// libstdc++, as the analysis tools use it), the line comes from the builtin.
struct SourceLocation {
    static constexpr SourceLocation current(unsigned line = __builtin_LINE()) { return {line}; }
    constexpr unsigned line() const { return m_line; }
    unsigned m_line = 0;
};
#endif

// Classic runtime error numbers, raised exactly where the old runtime raised.
enum ErrorNumber : int {
    kOverflow = 6,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kFileNotFound = 53,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kInvalidPropertyValue = 380,
    kInvalidPropertyArrayIndex = 381,
    kInvalidPicture = 481,
    // Not the old runtime's: the collection file was changed by another program.
    kChangedByAnotherProgram = 1001,
};

QString errorDescription(int number);

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number, QString description = {}, int systemError = 0)
        : m_number(number),
          m_description(description.isEmpty() ? errorDescription(number) : std::move(description)),
          m_systemError(systemError) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    // The operating system's errno behind a file failure, 0 when unknown.
    int systemError() const { return m_systemError; }
    const char* what() const noexcept override { return "runtime error"; }

private:
    int m_number;
    QString m_description;
    int m_systemError;
};

[[noreturn]] inline void raise(int number, QString description = {}) {
    throw RuntimeError(number, std::move(description));
}
// A file failure with the errno that caused it, so the user can be told why.
[[noreturn]] inline void raiseSystem(int number, int systemError) {
    throw RuntimeError(number, {}, systemError);
}

// Why a file operation failed, in words a collector understands ("the disk is
// full"), from the errno behind it or else the runtime error number.
QString failureCause(int number, int systemError);
inline QString failureCause(const RuntimeError& e) {
    return failureCause(e.number(), e.systemError());
}
// What the user can do about it, as the start of a sentence ("Free some
// space on the disk").
QString failureAdvice(const RuntimeError& e);

// "<executable name>.Err" in the program folder.
QString errorLogPath();

// Writes one entry, newest first, keeping at most 52 lines. Numbers 6, 9, 11
// and 381 are never written. When the log itself cannot be written the user
// is told through the message-box seam.
void logAnError(const QString& number, const QString& description, const QString& line);

// Runs the steps of a guarded routine: a step that raises is logged with its
// number, description and source line, and the routine goes on.
class Guard {
public:
    // Returns true when the step completed; a routine that must leave instead
    // of resuming tests the result.
    template <class Step> bool step(Step&& f, SourceLocation where = SourceLocation::current()) {
        try {
            std::forward<Step>(f)();
            return true;
        } catch (const RuntimeError& e) {
            report(e.number(), e.description(), where);
        } catch (const std::bad_alloc&) {
            report(7, QStringLiteral("Out of memory"), where);
        } catch (const std::exception&) {
            report(51, QStringLiteral("Internal error"), where);
        }
        return false;
    }

private:
    static void report(int number, const QString& description, const SourceLocation& where);
};

} // namespace app
