#include "base/VeskConsole.h"
#include "base/VeskNSLog.h"
#include "report/VeskAlert.h"
#include "report/VeskUtilities.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

class Logging : public ::testing::Test {
protected:
    void SetUp() override { VeskConsole::sharedInstance()->Reset(); }
    QString logged() const { return VeskConsole::sharedInstance()->text().mid(5); } // after "Vesk\n"
};

TEST_F(Logging, LineCarriesFunctionFileAndPaddedLineAndKeepsTheMessageAsItIs)
{
    VeskNSLog("/src/VeskCore/model/Thing.cpp", 77, "doThing", "Done");
    VeskNSLog(nullptr, 5, "f", "Twice\n");
    VeskNSLog("a.cpp", 1, "f", "100%1 %2");
    EXPECT_EQ(logged(),
        QStringLiteral("(doThing) (Thing.cpp:00000077) :: Done\n(f) :: Twice\n"
                       "(f) (a.cpp:00000001) :: 100%1 %2\n"));
}

TEST_F(Logging, LinesFromManyThreadsAreAllKept)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i)
                VESK_LOG("line");
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(logged().count(QLatin1Char('\n')), 2000);
}

TEST_F(Logging, KeepsTheMostRecentWholeLinesAndSaysWhenOlderOnesDropOff)
{
    VeskConsole &console = *VeskConsole::sharedInstance();
    int replaced = 0;
    const QMetaObject::Connection connection = QObject::connect(&console, &VeskConsole::wasReset, [&] { ++replaced; });
    const QString line = QString(1023, QLatin1Char('x')) + QLatin1Char('\n');
    console.addString("first\n");
    for (int i = 0; i < 9 * 1024; ++i)
        console.addString(line);
    console.addString("last\n");
    const QString text = console.text();
    EXPECT_LE(text.size(), VeskConsole::kMaxLength);
    EXPECT_TRUE(text.startsWith("Vesk :: older console text dropped; the last 8 MB are kept\n" + line));
    EXPECT_TRUE(text.endsWith(line + "last\n"));
    qsizetype length = 0;
    EXPECT_EQ(console.textFrom(text.size() - 5, &length), "last\n");
    EXPECT_EQ(length, text.size());
    EXPECT_GE(replaced, 1);
    QObject::disconnect(connection);
}

TEST(Alert, ExitAlertEndsTheProcess)
{
    EXPECT_EXIT(VeskAlert::ShowDialogAndExit_with_errorName("Vesk error DB-001", QString()),
        ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(Utilities, PercentDecodingIsStrict)
{
    const std::pair<const char *, std::optional<QString>> cases[]
        = { { "a%20b", "a b" }, { "caf%C3%A9", "café" }, { "100%", {} }, { "%zz", {} }, { "%FF", {} } };
    for (const auto &[text, decoded] : cases)
        EXPECT_EQ(VeskUtilities::stringByRemovingPercentEncoding(text), decoded) << text;
}

TEST(Utilities, PortableSetStartsAtTwentyAndEndsAt145)
{
    EXPECT_TRUE(VeskUtilities::isPortable(QString(QChar(20)) + "clip 01.mxf"));
    EXPECT_TRUE(VeskUtilities::isPortable(QString(QChar(145))));
    EXPECT_FALSE(VeskUtilities::isPortable(QString(QChar(146))));
    EXPECT_FALSE(VeskUtilities::isPortable("line\nfeed"));
    EXPECT_FALSE(VeskUtilities::isPortable("caf\u00e9"));
    for (QChar c : QStringLiteral("/\\?%*|\"<>"))
        EXPECT_FALSE(VeskUtilities::isPortable(QString(c))) << int(c.unicode());
}
