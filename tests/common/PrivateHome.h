// Each test program runs with a home, configuration, cache and runtime folder of its own, made
// before Qt starts and removed at the end, so the suite never reads or writes the user's files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TPrivateHome {
public:
    TPrivateHome() {
        const QString home = FFolder.path();
        Use("HOME", home);
        Use("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
        Use("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
        Use("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
        const QString runtime = home + QStringLiteral("/runtime");
        Use("XDG_RUNTIME_DIR", runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    static void Use(const char* Variable, const QString& Folder) {
        QDir().mkpath(Folder);
        qputenv(Variable, QFile::encodeName(Folder));
    }

    QTemporaryDir FFolder{QDir::tempPath() + QStringLiteral("/palvenor-test-XXXXXX")};
};
