// The update check: the appcast reader and version order on their own, then the whole check
// against a feed served on the loopback interface.
#include "app/Appcast.h"
#include "app/UpdateCheck.h"

#include "EventLoopWait.h"
#include "LogLines.h"
#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

struct VersionCase {
    const char* a;
    const char* b;
    int order;
};

class VersionOrder : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionOrder, ReadsLikeReleaseNumbers)
{
    const VersionCase& c = GetParam();
    const QString a = QString::fromUtf8(c.a);
    const QString b = QString::fromUtf8(c.b);
    EXPECT_EQ(compareVersions(a, b), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(compareVersions(b, a), -c.order) << "reversed";
}

INSTANTIATE_TEST_SUITE_P(Appcast, VersionOrder, ::testing::Values(
    VersionCase{"0.1.0", "0.1.0", 0},
    VersionCase{"1.2", "1.2.0", 0},              // a missing component is zero
    VersionCase{"1.10", "1.9", 1},               // numbers, not text
    VersionCase{"0.2.0", "0.1.9", 1},
    VersionCase{"2", "10", -1},
    VersionCase{"1.0b1", "1.0", -1},             // a pre-release comes before its release
    VersionCase{"1.0b2", "1.0b10", -1},
    VersionCase{"1.0rc1", "1.0b9", 1},
    VersionCase{"v1.2.3", "1.2.3", 0},
    VersionCase{"007", "7", 0},
    VersionCase{"99999999999999999999.0", "99999999999999999998.9", 1}));  // no overflow

QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
           "<channel><title>Zuvik</title>\n" + items + "</channel></rss>\n";
}

QByteArray item(const QByteArray& version, const QByteArray& extra = {})
{
    return "<item><title>Zuvik " + version + "</title>"
           "<description><![CDATA[<h2>New</h2><ul><li>Sharper lyrics</li></ul>]]></description>"
           "<enclosure url=\"https://example.invalid/zuvik-" + version + ".tar.gz\" sparkle:version=\"" + version
           + "\" length=\"1\" type=\"application/octet-stream\"/>" + extra + "</item>\n";
}

TEST(Appcast, TheNewestItemWinsWhateverTheOrder)
{
    const auto release = newestRelease(appcast(item("0.3.0") + item("0.10.0") + item("0.9.1")));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->version, QStringLiteral("0.10.0"));
    EXPECT_EQ(release->link, QUrl(QStringLiteral("https://example.invalid/zuvik-0.10.0.tar.gz")));
    EXPECT_EQ(release->notes, QStringLiteral("New\nSharper lyrics"));  // the HTML as plain text
}

TEST(Appcast, VersionAsAnElementAndAShortVersionForPeople)
{
    const QByteArray items = "<item><title>Zuvik</title><sparkle:version>412</sparkle:version>"
                             "<sparkle:shortVersionString>1.4</sparkle:shortVersionString>"
                             "<link>https://example.invalid/releases/1.4</link></item>";
    const auto release = newestRelease(appcast(items));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->version, QStringLiteral("412"));
    EXPECT_EQ(release->displayVersion, QStringLiteral("1.4"));
    EXPECT_EQ(release->link, QUrl(QStringLiteral("https://example.invalid/releases/1.4")));  // no enclosure
}

struct BadFeedCase {
    const char* name;
    QByteArray feed;
};

class BadFeed : public ::testing::TestWithParam<BadFeedCase> {};

TEST_P(BadFeed, YieldsNothing)
{
    EXPECT_FALSE(newestRelease(GetParam().feed).has_value());
}

INSTANTIATE_TEST_SUITE_P(Appcast, BadFeed, ::testing::Values(
    BadFeedCase{"empty", ""},
    BadFeedCase{"not_xml", "{\"version\": \"9.9\"}"},
    BadFeedCase{"html_page", "<html><body>Not found</body></html>"},
    BadFeedCase{"cut_short", appcast(item("0.2.0")).left(200)},
    BadFeedCase{"no_items", appcast("")},
    BadFeedCase{"item_without_version",
                appcast("<item><enclosure url=\"https://example.invalid/z.tar.gz\"/></item>")},
    BadFeedCase{"version_in_another_namespace",
                appcast("<item><version>9.0</version><enclosure url=\"https://example.invalid/z.tar.gz\"/></item>")},
    BadFeedCase{"no_web_address",
                appcast("<item><enclosure url=\"file:///etc/passwd\" sparkle:version=\"9.0\"/></item>")}),
    [](const auto& info) { return std::string(info.param.name); });

// The check against a feed on the loopback interface.
class Check : public ::testing::Test {
protected:
    UpdateCheckResult run(const QString& runningVersion, std::chrono::milliseconds timeout = 10s)
    {
        UpdateCheck check(server.baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))), runningVersion, timeout);
        std::optional<UpdateCheckResult> result;
        QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
        check.start();
        EXPECT_TRUE(waitFor([&result] { return result.has_value(); }));
        return result.value_or(UpdateCheckResult{});
    }

    void serve(LoopbackHttpServer::Reply reply) { server.setReply(QStringLiteral("/appcast.xml"), std::move(reply)); }

    LoopbackHttpServer server;
    LogLines log;
};

LoopbackHttpServer::Reply feedReply(const QByteArray& body)
{
    return {200, body, {{"Content-Type", "application/rss+xml"}}};
}

struct OutcomeCase {
    const char* name;
    const char* running;
    UpdateCheckResult::Kind kind;
    const char* logLine;
};

class FeedVersions : public Check, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(FeedVersions, AreComparedWithTheRunningOne)
{
    serve(feedReply(appcast(item("0.2.0") + item("0.1.5"))));
    const OutcomeCase& c = GetParam();
    const UpdateCheckResult result = run(QString::fromUtf8(c.running));
    EXPECT_EQ(result.kind, c.kind);
    ASSERT_TRUE(result.release);
    EXPECT_EQ(result.release->version, QStringLiteral("0.2.0"));
    EXPECT_EQ(log.newMessages(), QStringList{QString::fromUtf8(c.logLine)});
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, QByteArray("GET"));
}

INSTANTIATE_TEST_SUITE_P(UpdateCheck, FeedVersions, ::testing::Values(
    OutcomeCase{"newer", "0.1.0", UpdateCheckResult::Kind::available, "updates: 0.2.0 available (running 0.1.0)"},
    OutcomeCase{"same", "0.2.0", UpdateCheckResult::Kind::upToDate, "updates: up to date (running 0.2.0, feed offers 0.2.0)"},
    OutcomeCase{"older", "0.10.0", UpdateCheckResult::Kind::upToDate, "updates: up to date (running 0.10.0, feed offers 0.2.0)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Check, ANewerReleaseIsOfferedWithItsNotesAndLinkButNothingIsDownloaded)
{
    serve(feedReply(appcast(item("0.2.0"))));
    const UpdateMessage message = updateMessage(run(QStringLiteral("0.1.0")));
    EXPECT_EQ(message.title, QStringLiteral("Zuvik 0.2.0 is available"));
    EXPECT_TRUE(message.text.contains(QStringLiteral("<a href=\"https://example.invalid/zuvik-0.2.0.tar.gz\">")));
    EXPECT_EQ(message.releaseNotes, QStringLiteral("New\nSharper lyrics"));
    EXPECT_EQ(server.requests().size(), 1);  // the feed, never the enclosure
}

TEST_F(Check, AMalformedFeedIsOneMessageAndOneLine)
{
    serve(feedReply("<rss><channel><item><title>broken"));
    const UpdateCheckResult result = run(QStringLiteral("0.1.0"));
    EXPECT_EQ(result.kind, UpdateCheckResult::Kind::failed);
    EXPECT_EQ(updateMessage(result).title, QStringLiteral("Could not check for updates"));
    EXPECT_EQ(result.problem, QStringLiteral("The update feed is not a readable appcast."));
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("updates: "))) << lines.first().toStdString();
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("/appcast.xml is not a readable appcast")));
}

TEST_F(Check, NotFoundNamesTheStatus)
{
    serve(LoopbackHttpServer::Reply::withStatus(404));
    const UpdateCheckResult result = run(QStringLiteral("0.1.0"));
    EXPECT_EQ(result.kind, UpdateCheckResult::Kind::failed);
    EXPECT_EQ(result.problem, QStringLiteral("The update feed answered with HTTP status 404."));
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("/appcast.xml answered HTTP 404")));
}

class SlowFeed : public Check, public ::testing::WithParamInterface<LoopbackHttpServer::Reply> {};

// A feed that never answers, and one that drips a byte at a time, inside the wait between bytes.
TEST_P(SlowFeed, TimesOut)
{
    serve(GetParam());
    const UpdateCheckResult result = run(QStringLiteral("0.1.0"), 200ms);
    EXPECT_EQ(result.kind, UpdateCheckResult::Kind::failed);
    EXPECT_EQ(result.problem, QStringLiteral("The update feed did not answer in time."));
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("/appcast.xml did not answer within 200 ms")));
}

INSTANTIATE_TEST_SUITE_P(UpdateCheck, SlowFeed,
                         ::testing::Values(LoopbackHttpServer::Reply::stalling(),
                                           LoopbackHttpServer::Reply::dripping(appcast(""), 50)));

TEST_F(Check, AnUnreachableFeedIsAFailureToo)
{
    const QUrl closed(QStringLiteral("http://127.0.0.1:1/appcast.xml"));  // nothing listens on port 1
    UpdateCheck check(closed, QStringLiteral("0.1.0"), 5s);
    std::optional<UpdateCheckResult> result;
    QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
    check.start();
    ASSERT_TRUE(waitFor([&result] { return result.has_value(); }));
    EXPECT_EQ(result->kind, UpdateCheckResult::Kind::failed);
    EXPECT_TRUE(result->problem.startsWith(QStringLiteral("The update feed could not be reached")));
    EXPECT_EQ(log.newMessages().size(), 1);
}

TEST_F(Check, WithoutAFeedTheBuildSaysUpdatesAreNotConfigured)
{
    UpdateCheck check(QUrl(), QStringLiteral("0.1.0"));
    std::optional<UpdateCheckResult> result;
    QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
    check.start();
    ASSERT_TRUE(waitFor([&result] { return result.has_value(); }));
    EXPECT_EQ(result->kind, UpdateCheckResult::Kind::notConfigured);
    EXPECT_EQ(updateMessage(*result).title, QStringLiteral("Updates are not configured for this build"));
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("updates: no update feed in this build")});
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(Check, ASecondStartWhileOneIsInFlightAsksOnce)
{
    serve(LoopbackHttpServer::Reply::stalling());
    UpdateCheck check(server.baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))), QStringLiteral("0.1.0"), 300ms);
    int answers = 0;
    QObject::connect(&check, &UpdateCheck::finished, [&answers](const UpdateCheckResult&) { ++answers; });
    check.start();
    check.start();
    ASSERT_TRUE(waitFor([&answers] { return answers > 0; }));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_FALSE(check.isRunning());
}

}  // namespace
