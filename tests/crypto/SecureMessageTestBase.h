#pragma once

#include "OpenSslReference.h"
#include "TestContainers.h"

#include "crypto/SecureMessage.h"
#include "platform/widgets/WindowBoxReporter.h"
#include "support/ScriptedInteraction.h"

#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace talvo::testing {

// A simulated key, a scratch directory, the scripted seam and an owner page for the boxes.
class SecureMessageTestBase : public ::testing::Test {
protected:
    explicit SecureMessageTestBase(const std::filesystem::path& container = generatedContainer())
        : m_key(container)
    {
    }

    QString file(const QString& name) const { return m_dir.file(name); }
    static QByteArray document(qsizetype size, unsigned seed = 1)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        unsigned state = seed * 2654435761u + 12345u;
        for (qsizetype i = 0; i < size; ++i) {
            state = state * 1103515245u + 12345u;
            bytes[i] = static_cast<char>(state >> 16);
        }
        return bytes;
    }
    static void write(const QString& path, const QByteArray& bytes) { TempDirectory::writeFile(path, bytes); }
    static QByteArray read(const QString& path) { return TempDirectory::readFile(path); }
    static bool exists(const QString& path) { return QFile::exists(path); }

    bool pack(const QString& source, const QString& output)
    {
        return SecureMessage(m_reporter).GenerateSecureMessage(source, output);
    }
    bool unpack(const QString& secure, const QString& target)
    {
        return SecureMessage(m_reporter).ParseSecureMessage(secure, target);
    }
    // Packs a document of the given size into "doc.sec" and returns the document.
    QByteArray packedDocument(qsizetype size)
    {
        const QByteArray content = document(size);
        write(file("doc.bin"), content);
        EXPECT_TRUE(pack(file("doc.bin"), file("doc.sec")));
        return content;
    }
    QStringList boxTexts() const { return m_boxes.boxTexts(); }

    SimulatedKeyDirectory m_key;
    TempDirectory m_dir;
    ScriptedInteraction m_boxes;
    QWidget m_owner;
    WindowBoxReporter m_reporter{&m_owner};
};

} // namespace talvo::testing
