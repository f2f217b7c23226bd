#pragma once

#include <QTemporaryDir>

namespace scribbet::testing {

/// Points HOME and the XDG folders at a fresh temporary folder for as long as it lives, so that
/// a test's settings, recent documents and files never reach the real user's.
class TestSandbox final {
public:
    TestSandbox();
    ~TestSandbox();
    TestSandbox(const TestSandbox &) = delete;
    TestSandbox &operator=(const TestSandbox &) = delete;

    QString path(const QString &relative = {}) const;

private:
    QTemporaryDir m_root;
    QByteArray m_previousHome;
};

} // namespace scribbet::testing
