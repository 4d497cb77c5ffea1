#pragma once
// Access to the Firebird client's OO API: the master interface, its utility
// interface, and a status object that throws Firebird::FbException on error and
// disposes of itself.

#include <firebird/Interface.h>

namespace fb {

[[nodiscard]] Firebird::IMaster* master();
[[nodiscard]] Firebird::IUtil* util();

// A ThrowStatusWrapper over a fresh status object, disposed with the wrapper.
class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    [[nodiscard]] Firebird::ThrowStatusWrapper* get() { return &m_wrapper; }

private:
    Firebird::ThrowStatusWrapper m_wrapper;
};

// A CheckStatusWrapper for clean-up paths: never throws; errors are read or ignored.
class QuietStatus {
public:
    QuietStatus();
    ~QuietStatus();
    QuietStatus(const QuietStatus&) = delete;
    QuietStatus& operator=(const QuietStatus&) = delete;

    [[nodiscard]] Firebird::CheckStatusWrapper* get() { return &m_wrapper; }
    [[nodiscard]] bool failed();

private:
    Firebird::CheckStatusWrapper m_wrapper;
};

} // namespace fb
