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

} // namespace mc
