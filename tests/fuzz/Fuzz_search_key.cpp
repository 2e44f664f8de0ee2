// For any text the key is alphanumeric words joined by single spaces, and a file name never leaves its folder.
#include "FuzzChecks.h"

#include "lyrics/CacheFileName.h"
#include "lyrics/SearchKey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzzText(data, size);
    const QString key = searchKey(text);
    FUZZ_CHECK(!key.startsWith(u' ') && !key.endsWith(u' ') && !key.contains(QStringLiteral("  ")));
    unicode_text::forEachScalar(key, [](char32_t s) { FUZZ_CHECK(s == U' ' || unicode_text::isAlphanumeric(s)); });
    FUZZ_CHECK(searchKey(key) == key);

    const QString name = cacheFileName(text);
    FUZZ_CHECK(name.endsWith(QStringLiteral(".json")) && name.toUtf8().size() <= 255);
    const QStringView slug = QStringView(name).chopped(14);  // "-" + 8 hex digits + ".json"
    unicode_text::forEachScalar(slug, [](char32_t s) { FUZZ_CHECK(s == U'_' || unicode_text::isAlphanumeric(s)); });
    return 0;
}
