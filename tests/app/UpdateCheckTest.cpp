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
    return "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
           + items + "</channel></rss>";
}

QByteArray item(const QByteArray& version)
{
    return "<item><description><![CDATA[<h2>New</h2><ul><li>Sharper lyrics</li></ul>]]></description><enclosure "
           "url=\"https://example.invalid/zuvik-"
           + version + ".tar.gz\" sparkle:version=\"" + version + "\"/></item>";
}

TEST(Appcast, TheNewestItemWinsWhateverTheOrder)
{
    const QUrl tarball(QStringLiteral("https://example.invalid/zuvik-0.10.0.tar.gz"));
    EXPECT_EQ(newestRelease(appcast(item("0.3.0") + item("0.10.0") + item("0.9.1"))),
              (AppcastRelease{"0.10.0", "0.10.0", "", "New\nSharper lyrics", tarball}));  // the HTML as plain text
    EXPECT_EQ(
        newestRelease(appcast("<item><title>Zuvik</title><sparkle:version>412</sparkle:version>"
                              "<sparkle:shortVersionString>1.4</sparkle:shortVersionString>"
                              "<link>https://example.invalid/releases/1.4</link></item>")),
        (AppcastRelease{"412", "1.4", "Zuvik", "", QUrl(QStringLiteral("https://example.invalid/releases/1.4"))}));
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

using Kind = UpdateCheckResult::Kind;
using Reply = LoopbackHttpServer::Reply;

struct CheckCase {
    const char* name;
    Reply reply;
    Kind kind;
    const char* logEnd;  // of the one log line
    const char* problem = "";  // found in it
    const char* running = "0.1.0";
    const char* feed = nullptr;  // instead of the server's; empty: none
};

class Check : public ::testing::TestWithParam<CheckCase> {
protected:
    LoopbackHttpServer server;
    LogLines log;
};

// Nothing but the feed is fetched; a stalling or dripping feed is given up within the wait between bytes too.
TEST_P(Check, IsOneResultAndOneLogLine)
{
    const CheckCase& c = GetParam();
    server.setReply(QStringLiteral("/appcast.xml"), c.reply);
    UpdateCheck check(c.feed ? QUrl(QString::fromUtf8(c.feed)) : server.baseUrl().resolved(QUrl("/appcast.xml")),
                      QString::fromUtf8(c.running), 1s);
    std::optional<UpdateCheckResult> result;
    QObject::connect(&check, &UpdateCheck::finished, [&result](const UpdateCheckResult& r) { result = r; });
    for (int start = 0; start < 2; ++start)
        check.start();  // while one is in flight, another does nothing
    ASSERT_TRUE(waitFor([&result] { return result.has_value(); }));
    EXPECT_FALSE(check.isRunning());
    EXPECT_EQ(result->kind, c.kind);
    const bool failed = c.kind == Kind::failed, answered = c.kind == Kind::available || c.kind == Kind::upToDate;
    EXPECT_TRUE(failed ? result->problem.contains(QString::fromUtf8(c.problem)) : result->problem.isEmpty())
        << result->problem.toStdString();
    EXPECT_EQ(result->release.value_or(AppcastRelease{}).version, answered ? "0.2.0" : "");
    EXPECT_TRUE(!failed || updateMessage(*result).title == QStringLiteral("Could not check for updates"));
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith("updates: ") && lines.first().endsWith(QString::fromUtf8(c.logEnd)))
        << lines.first().toStdString();
    EXPECT_LE(server.requests().size(), 1);
}

const Reply feed{200, appcast(item("0.2.0") + item("0.1.5")), {}};
INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, Check,
    ::testing::Values(
        CheckCase{"newer", feed, Kind::available, "0.2.0 available (running 0.1.0)"},
        CheckCase{"same", feed, Kind::upToDate, "up to date (running 0.2.0, feed offers 0.2.0)", "", "0.2.0"},
        CheckCase{"older", feed, Kind::upToDate, "up to date (running 0.10.0, feed offers 0.2.0)", "", "0.10.0"},
        CheckCase{"malformed", {200, "<rss><item>", {}}, Kind::failed, "is not a readable appcast", "not a readable"},
        CheckCase{"not_found", Reply::withStatus(404), Kind::failed, "answered HTTP 404", "HTTP status 404."},
        CheckCase{"stalling", Reply::stalling(), Kind::failed, "did not answer within 1000 ms", "in time"},
        CheckCase{"dripping", Reply::dripping(appcast(""), 50), Kind::failed, "did not answer within 1000 ms",
                  "in time"},
        CheckCase{"unreachable", {}, Kind::failed, "", "could not be reached", "0.1.0", "http://127.0.0.1:1/x.xml"},
        CheckCase{"no_feed", {}, Kind::notConfigured, "updates: no update feed in this build", "", "0.1.0", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
