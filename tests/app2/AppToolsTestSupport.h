#pragma once

#include "actions/ActionTestSupport.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/WaitFor.h"

#include <QProcess>
#include <QTest>

#include <functional>

/// The data folder (XDG_DATA_HOME) of this test program.
QString testDataHome();

/// Items on disk: files of the given sizes in a folder "MXF/1" of the test folder.
inline std::vector<VeskItemRef> filesOnDisk(const TestFiles &files, const std::vector<int> &sizes)
{
    std::vector<VeskItemRef> items;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const QString path = files.write(QStringLiteral("MXF/1/clip%1.mxf").arg(i), QByteArray(sizes[i], 'x'));
        items.push_back(makeItem(path));
    }
    return items;
}

/// Writes a synthetic volume at root with vesk-mkvolume's options.
inline void writeVolume(const QString &root, const QStringList &options)
{
    QProcess writer;
    writer.start(QStringLiteral(VESK_MKVOLUME), QStringList { root } + options);
    ASSERT_TRUE(writer.waitForFinished(120000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
}
