#pragma once

#include <QByteArrayList>
#include <QString>

namespace platform {

/// The command line as the program takes it: file names as the bytes they are, `--` ending the
/// options, `--help` and `--version` answered on the terminal.
class CommandLine final {
public:
    /// Reads `argv`. When it asks for help or the version before any `--`, prints the answer and
    /// ends the process; no display is needed for that. `description` is the source text of a
    /// translation in the "ApplicationIdentity" context.
    CommandLine(int argc, char **argv, const char *description);

    /// How many leading arguments the toolkit may look for its own options in: those before `--`.
    int &toolkitArgumentCount() { return m_toolkitArgumentCount; }

    /// The files named, once the toolkit has taken its own options out of `argv`; each is
    /// absolute, as bytes. An unknown option is reported on the terminal and ends the process.
    QByteArrayList files(char **argv) const;

    /// Whether the session bus started the program to serve a desktop's request (the D-Bus
    /// service file passes `--dbus-activated`): the request itself then says what to show.
    bool activatedByBus() const { return m_activatedByBus; }

private:
    const char *m_description;
    int m_toolkitArgumentCount;
    QByteArrayList m_afterSeparator;
    bool m_activatedByBus = false;
};

} // namespace platform
