#include "lyrics/ServiceAddress.h"

#include "LogLines.h"
#include "LyricsTestSupport.h"

namespace {

struct BaseCase {
    const char* name;
    const char* text;
    const char* base;  // nullptr: not a base
};

class ServiceBase : public ::testing::TestWithParam<BaseCase> {};

TEST_P(ServiceBase, Reads)
{
    const std::optional<QUrl> base = service_address::readBase(QString::fromUtf8(GetParam().text));
    if (GetParam().base)
        EXPECT_EQ(base, QUrl(QString::fromUtf8(GetParam().base)));
    else
        EXPECT_EQ(base, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ServiceBase,
    ::testing::Values(BaseCase{"Loopback", "http://127.0.0.1:8080", "http://127.0.0.1:8080"},
                      BaseCase{"TrailingSlashDropped", "https://example.org/", "https://example.org"},
                      BaseCase{"PathPrefixKept", "http://127.0.0.1:9/proxy/", "http://127.0.0.1:9/proxy"},
                      BaseCase{"NoScheme", "127.0.0.1:8080", nullptr}, BaseCase{"OtherScheme", "ftp://example.org", nullptr},
                      BaseCase{"NoHost", "http://", nullptr}, BaseCase{"FileUrl", "file:///tmp/x", nullptr},
                      BaseCase{"WithQuery", "http://example.org?a=b", nullptr},
                      BaseCase{"WithUser", "http://me@example.org", nullptr},
                      BaseCase{"BadPort", "http://example.org:99999", nullptr}, BaseCase{"Spaces", "http://a b", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServiceBaseFromEnvironment, InvalidValueIsLoggedOnceAndTheDefaultServes)
{
    const LogLines log;
    qputenv("ZUVIK_LYRICS_BASE_URL", "not an address");
    const QUrl base = service_address::fromEnvironment();
    qunsetenv("ZUVIK_LYRICS_BASE_URL");

    EXPECT_EQ(base, QUrl(QStringLiteral("https://music.163.com")));
    EXPECT_EQ(service_address::fromEnvironment(), base);
    EXPECT_EQ(log.newMessages(), QStringList{"lyrics: ZUVIK_LYRICS_BASE_URL \"not an address\" is not an http or "
                                             "https address; using https://music.163.com"});
}

TEST(ServiceAddresses, EncodeEveryReservedCharacterOfTheQuery)
{
    const QUrl url = service_address::searchUrl(QUrl(QStringLiteral("http://h:1/p")), QStringLiteral("Dan + Shay a&b=c/d é"));
    EXPECT_EQ(url.toEncoded(), "http://h:1/p/api/search/get?s=Dan%20%2B%20Shay%20a%26b%3Dc%2Fd%20%C3%A9&type=1&limit=30&offset=0");
}

}  // namespace
