#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace talvo::testing {

// A fresh directory for one test, removed afterwards.
class TempDirectory {
public:
    TempDirectory();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    static void writeFile(const QString& path, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir m_dir;
};

// Points TALVO_SIM_DIR (and the private directory) at a fresh directory for its lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    QByteArray m_name;
    QByteArray m_previous;
    bool m_hadValue;
};

} // namespace talvo::testing
