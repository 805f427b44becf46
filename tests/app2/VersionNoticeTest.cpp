#include "AppToolsTestSupport.h"

#include "VeskVersionNotice.h"

#include "platform/VeskSettings.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

/// A web server on 127.0.0.1 that answers every request with one status and body.
class TinyHttpServer {
public:
    TinyHttpServer(QByteArray body, QByteArray status = "200 OK")
        : m_body(std::move(body))
        , m_status(std::move(status))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { answerPending(); });
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/version").arg(m_server.serverPort())); }
    int requests() const { return m_requests; }

private:
    void answerPending()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                ++m_requests;
                socket->write("HTTP/1.1 " + m_status + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: "
                    + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
    QByteArray m_body;
    QByteArray m_status;
    int m_requests = 0;
};

class VersionNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        VeskVersionNotice::registerDefaults();
        previousOpener = VeskVersionNotice::setOpener([this](const QUrl &url) { opened << url; });
        alerts.on(notice(QStringLiteral("9.9 build 99")), QStringLiteral("OK"));
    }
    void TearDown() override
    {
        VeskVersionNotice::setOpener(previousOpener);
        VeskSettings::shared().useMemoryStore();
    }
    static QString notice(const QString &reply)
    {
        return QStringLiteral("Current version on the website:\n%1 \n\nYou Have version installed:\n%2\n")
            .arg(reply, VeskVersionNotice::installedVersion());
    }
    // The notice, once the reply has come; the call itself must not wait for it.
    static QString check(const QUrl &url)
    {
        VeskSettings::shared().setValue(VeskVersionNotice::kVersionURLKey, url.toString());
        std::optional<QString> notice;
        EXPECT_TRUE(VeskVersionNotice::checkVeskVersion([&notice](const QString &text) { notice = text; }));
        EXPECT_TRUE(waitFor([&notice] { return notice.has_value(); }, 5000));
        return notice.value_or(QString());
    }

    ScriptedAlerts alerts;
    QList<QUrl> opened;
    VeskVersionNotice::Opener previousOpener;
};

} // namespace

// Each reply gives its notice. One that differs from the installed version, if only by
// a line break, offers the web site, and only OK opens it; failed requests say so, and
// without an address there is no request at all.
TEST_F(VersionNotice, RepliesGiveTheirNoticeAndOnlyAnotherVersionAsks)
{
    const QString installed = VeskVersionNotice::installedVersion();
    const QString form
        = QStringLiteral("^%1 build \\d+$").arg(QRegularExpression::escape(QStringLiteral(VESK_VERSION)));
    EXPECT_TRUE(QRegularExpression(form).match(installed).hasMatch()) << installed.toStdString();
    VeskSettings::shared().setValue(VeskVersionNotice::kWebsiteURLKey, QStringLiteral("http://127.0.0.1:1/site"));
    alerts.on(notice(installed + QLatin1Char('\n')), QStringLiteral("Cancel"));
    const QString website = QStringLiteral("Current version on the website:\n");
    const QString failed = QStringLiteral("Error in http request");
    const struct {
        QByteArray body;
        QByteArray status;
        QString notice;
    } replies[] = {
        { installed.toUtf8(), "200 OK", website + installed },
        { "9.9 build 99", "200 OK", website + QStringLiteral("9.9 build 99") },
        { installed.toUtf8() + '\n', "200 OK", website + installed + QLatin1Char('\n') },
        { "not here", "404 Not Found", failed },
    };
    for (const auto &reply : replies) {
        TinyHttpServer server(reply.body, reply.status);
        EXPECT_EQ(check(server.url()), reply.notice) << reply.body.toStdString();
        EXPECT_EQ(server.requests(), 1);
    }
    EXPECT_EQ(alerts.asked(), QStringList({ notice(QStringLiteral("9.9 build 99")), notice(installed + '\n') }));
    EXPECT_EQ(opened, QList<QUrl> { QUrl(QStringLiteral("http://127.0.0.1:1/site")) });

    EXPECT_EQ(check(QUrl(QStringLiteral("not a url"))), failed);
    EXPECT_EQ(alerts.asked().size(), 2);
    VeskSettings::shared().useMemoryStore();
    bool told = false;
    EXPECT_FALSE(VeskVersionNotice::checkVeskVersion([&told](const QString &) { told = true; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(told);
}
