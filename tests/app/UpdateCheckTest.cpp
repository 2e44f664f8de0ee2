#include "app/menu/Appcast.h"
#include "app/menu/UpdateCheck.h"
#include "EventLoopWait.h"
#include "LogLines.h"
#include "LoopbackHttpServer.h"
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// A missing component is zero, numbers are not text, a pre-release comes before its release, no overflow.
TEST(Appcast, VersionsOrderLikeReleaseNumbers)
{
    for (const auto& [a, b, order] :
         {std::tuple("0.1.0", "0.1.0", 0), std::tuple("1.2", "1.2.0", 0), std::tuple("1.10", "1.9", 1),
          std::tuple("0.2.0", "0.1.9", 1), std::tuple("2", "10", -1), std::tuple("1.0b1", "1.0", -1),
          std::tuple("1.0b2", "1.0b10", -1), std::tuple("1.0rc1", "1.0b9", 1), std::tuple("v1.2.3", "1.2.3", 0),
          std::tuple("007", "7", 0), std::tuple("99999999999999999999.0", "99999999999999999998.9", 1)}) {
        EXPECT_EQ(compareVersions(QString::fromUtf8(a), QString::fromUtf8(b)), order) << a << " vs " << b;
        EXPECT_EQ(compareVersions(QString::fromUtf8(b), QString::fromUtf8(a)), -order) << b << " vs " << a;
    }
}

QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n<channel><title>Zuvik</title>\n"
           + items + "</channel></rss>\n";
}

QByteArray item(const QByteArray& version)
{
    return "<item><title>Zuvik " + version
           + "</title><description><![CDATA[<h2>New</h2><ul><li>Sharper lyrics</li></ul>]]>"
             "</description><enclosure url=\"https://example.invalid/zuvik-"
           + version + ".tar.gz\" sparkle:version=\"" + version
           + "\" length=\"1\" type=\"application/octet-stream\"/></item>\n";
}

TEST(Appcast, TheNewestItemWinsWhateverTheOrder)
{
    const auto release = newestRelease(appcast(item("0.3.0") + item("0.10.0") + item("0.9.1")));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->version, QStringLiteral("0.10.0"));
    EXPECT_EQ(release->link, QUrl(QStringLiteral("https://example.invalid/zuvik-0.10.0.tar.gz")));
    EXPECT_EQ(release->notes, QStringLiteral("New\nSharper lyrics"));  // the HTML as plain text

    const auto element = newestRelease(appcast("<item><title>Zuvik</title><sparkle:version>412</sparkle:version>"
                                               "<sparkle:shortVersionString>1.4</sparkle:shortVersionString>"
                                               "<link>https://example.invalid/releases/1.4</link></item>"));
    ASSERT_TRUE(element);
    EXPECT_EQ(element->version, QStringLiteral("412"));
    EXPECT_EQ(element->displayVersion, QStringLiteral("1.4"));
    EXPECT_EQ(element->link, QUrl(QStringLiteral("https://example.invalid/releases/1.4")));  // no enclosure
}

TEST(Appcast, ABadFeedYieldsNothing)
{
    for (const QByteArray& feed :
         {QByteArray(), QByteArray("{\"version\": \"9.9\"}"), QByteArray("<html><body>Not found</body></html>"),
          appcast(item("0.2.0")).left(200), appcast(""),
          appcast("<item><enclosure url=\"https://example.invalid/z.tar.gz\"/></item>"),
          appcast("<item><version>9.0</version><enclosure url=\"https://example.invalid/z.tar.gz\"/></item>"),
          appcast("<item><enclosure url=\"file:///etc/passwd\" sparkle:version=\"9.0\"/></item>")})
        EXPECT_FALSE(newestRelease(feed).has_value()) << feed.toStdString();
}

class Check : public ::testing::Test {
protected:
    UpdateCheckResult run(const QString& runningVersion, std::chrono::milliseconds timeout = 10s, QUrl feed = {})
    {
        UpdateCheck check(feed.isEmpty() ? server.baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))) : feed,
                          runningVersion, timeout);
        std::optional<UpdateCheckResult> result;
        QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
        check.start();
        check.start();  // while one is in flight, another start does nothing
        EXPECT_TRUE(waitFor([&result] { return result.has_value(); }));
        EXPECT_FALSE(check.isRunning());
        return result.value_or(UpdateCheckResult{});
    }
    void serve(LoopbackHttpServer::Reply reply) { server.setReply(QStringLiteral("/appcast.xml"), std::move(reply)); }

    LoopbackHttpServer server;
    LogLines log;
};

TEST_F(Check, TheFeedsNewestIsComparedWithTheRunningVersionAndNothingIsDownloaded)
{
    serve({200, appcast(item("0.2.0") + item("0.1.5")), {{"Content-Type", "application/rss+xml"}}});
    for (const auto& [running, kind, line] :
         {std::tuple("0.1.0", UpdateCheckResult::Kind::available, "updates: 0.2.0 available (running 0.1.0)"),
          std::tuple("0.2.0", UpdateCheckResult::Kind::upToDate,
                     "updates: up to date (running 0.2.0, feed offers 0.2.0)"),
          std::tuple("0.10.0", UpdateCheckResult::Kind::upToDate,
                     "updates: up to date (running 0.10.0, feed offers 0.2.0)")}) {
        LogLines lines;
        const UpdateCheckResult result = run(QString::fromUtf8(running));
        EXPECT_EQ(result.kind, kind);
        EXPECT_EQ(result.release.value_or(AppcastRelease{}).version, QStringLiteral("0.2.0"));
        EXPECT_EQ(lines.newMessages(), QStringList{QString::fromUtf8(line)});
    }
    // The dialog it leads to is StatusMenuTest's.
    EXPECT_EQ(server.requests().size(), 3);  // the feed each time, never the enclosure
}

struct FailureCase {
    const char* name;
    LoopbackHttpServer::Reply reply;
    const char* problem;  // its start
    const char* logEnd;  // of the one log line
    const char* feed = nullptr;  // instead of the server's
};

class Failure : public Check, public ::testing::WithParamInterface<FailureCase> {};

// A stalling or dripping feed is given up within the wait between bytes too.
TEST_P(Failure, IsOneMessageAndOneLine)
{
    serve(GetParam().reply);
    const UpdateCheckResult result = run(QStringLiteral("0.1.0"), 200ms, QUrl(QString::fromUtf8(GetParam().feed)));
    EXPECT_EQ(result.kind, UpdateCheckResult::Kind::failed);
    EXPECT_TRUE(result.problem.startsWith(QString::fromUtf8(GetParam().problem))) << result.problem.toStdString();
    EXPECT_EQ(updateMessage(result).title, QStringLiteral("Could not check for updates"));
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("updates: "))
                && lines.first().endsWith(QString::fromUtf8(GetParam().logEnd)))
        << lines.first().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, Failure,
    ::testing::Values(
        FailureCase{"malformed",
                    {200, "<rss><channel><item><title>broken", {}},
                    "The update feed is not a readable appcast.",
                    "/appcast.xml is not a readable appcast"},
        FailureCase{"not_found", LoopbackHttpServer::Reply::withStatus(404),
                    "The update feed answered with HTTP status 404.", "/appcast.xml answered HTTP 404"},
        FailureCase{"stalling", LoopbackHttpServer::Reply::stalling(), "The update feed did not answer in time.",
                    "/appcast.xml did not answer within 200 ms"},
        FailureCase{"dripping", LoopbackHttpServer::Reply::dripping(appcast(""), 50),
                    "The update feed did not answer in time.", "/appcast.xml did not answer within 200 ms"},
        FailureCase{"unreachable", {}, "The update feed could not be reached", "", "http://127.0.0.1:1/appcast.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Check, WithoutAFeedTheBuildSaysUpdatesAreNotConfigured)
{
    UpdateCheck check(QUrl(), QStringLiteral("0.1.0"));
    std::optional<UpdateCheckResult> result;
    QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
    check.start();
    ASSERT_TRUE(waitFor([&result] { return result.has_value(); }));
    EXPECT_EQ(result->kind, UpdateCheckResult::Kind::notConfigured);
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("updates: no update feed in this build")});
}

}  // namespace
