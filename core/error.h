#pragma once
// The program's error type. Every failure that ends an action (a bad integer,
// a refused settings write, a database error, a serial open failure) is thrown
// as an mc::Error carrying the text the operator sees in the error box.
#include <QString>
#include <exception>
#include <string>

namespace mc {

class Error : public std::exception {
public:
    explicit Error(const QString &message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// Runs work; whatever it throws is handed to report as a text (the error's
// own message, or `unknown` for an exception that carries none), so nothing
// crosses an event loop.
template <class F, class Report>
void CatchAsMessage(F &&work, Report &&report, const char *unknown)
{
    try {
        work();
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QString::fromLatin1(unknown));
    }
}

} // namespace mc
