#pragma once

#include "Clock.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace scribbet::testing {

/// Points HOME and the XDG folders at a fresh temporary folder for as long as it lives, so that
/// a test's settings, recent documents and files never reach the real user's.
class TestSandbox final {
public:
    TestSandbox();
    ~TestSandbox();
    TestSandbox(const TestSandbox &) = delete;
    TestSandbox &operator=(const TestSandbox &) = delete;

private:
    QTemporaryDir m_root;
    QByteArray m_previousHome;
};

/// A clock that stands still until a test moves it.
class ManualClock final : public platform::Clock {
public:
    platform::Date now() const override { return current; }
    void advance(std::chrono::duration<double> by) { current += by; }

    platform::Date current{std::chrono::duration<double>(1'800'000'000.0)};
};

/// The bytes of the file at `path`, or a marker that no file ever holds when it cannot be read.
QByteArray contentsOf(const QString &path);

/// Writes `bytes` to the file at `path`, replacing it, and makes the folders it needs.
void writeContents(const QString &path, const QByteArray &bytes = "state");

/// What lstat() tells of the file at `path`: all zero when there is none.
struct stat statusOf(const QString &path);

/// Sets or clears the immutable flag of a file or folder: what even root may not change.
void setImmutable(const QString &path, bool immutable);

} // namespace scribbet::testing

/// A test main for widget tests: a fresh sandbox, then the application, then the test object.
#define SCRIBBET_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        const scribbet::testing::TestSandbox sandbox;                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication application(argc, argv);                                                      \
        QApplication::setApplicationName(QStringLiteral("scribbet-tests"));                        \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
