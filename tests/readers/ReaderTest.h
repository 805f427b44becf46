#pragma once

#include "base/VeskConsole.h"
#include "readers/VeskOMFI.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

/// A reader test: files in a folder of its own, a console that starts empty, and a
/// container reader that stays for inspection after it opened.
class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { VeskConsole::sharedInstance()->Reset(); }
    static QString logged() { return VeskConsole::sharedInstance()->text().mid(5); } // after "Vesk\n"
    QString write(const QString &name, const QByteArray &bytes) const { return m_files.write(name, bytes); }
    QString path(const QString &name) const { return m_files.path() + QLatin1Char('/') + name; }

    // Opens the bytes as a media database. Each file gets a name of its own: rewriting
    // one file in place makes the file system flush it.
    bool open(const QByteArray &bytes)
    {
        m_reader = std::make_unique<VeskOMFI>();
        const QString file = write(QStringLiteral("msmMMOB%1.mdb").arg(++m_opened), bytes);
        const bool opened = m_reader->openFile(file, nullptr);
        QFile::remove(file);
        return opened;
    }

    TestFiles m_files;
    std::unique_ptr<VeskOMFI> m_reader;
    int m_opened = 0;
};
