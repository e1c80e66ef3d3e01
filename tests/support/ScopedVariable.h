#pragma once

#include <QByteArray>
#include <optional>

// Sets one environment variable (or unsets it, given nothing) for the life of the
// object and then puts back what was there, so one test's changes never leak into
// the next.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            saved_ = qgetenv(name);
        value ? qputenv(name, *value) : qunsetenv(name);
    }
    ~ScopedVariable() { saved_ ? qputenv(name_, *saved_) : qunsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> saved_;
};
