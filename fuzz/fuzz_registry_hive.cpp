// The registry hive text parser. Whatever the text holds, what was parsed must be written out
// and read back unchanged, and every key and value read must be found again.
#include "platform/RegistryHive.h"

#include <cstdlib>
#include <string_view>

namespace {

void Expect(bool condition) {
    if (!condition)
        std::abort();
}

void CheckLookups(const platform::RegistryHive& hive, std::u16string_view key, int depth) {
    Expect(hive.KeyExists(key));
    for (const std::u16string& name : hive.ValueNames(key))
        Expect(hive.Find(key, name) != nullptr);
    if (depth > 600)
        return;
    for (const std::u16string& sub : hive.SubKeys(key)) {
        std::u16string path = key.empty() ? sub : std::u16string(key) + u"\\" + sub;
        Expect(platform::RegistryHive::IsValidKeyPath(path));
        CheckLookups(hive, path, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const platform::RegistryHive hive = platform::RegistryHive::Parse(text);
    const std::string written = hive.ToText("fuzz");
    const platform::RegistryHive again = platform::RegistryHive::Parse(written);
    Expect(again.DamagedLines() == 0);
    Expect(again.ToText("fuzz") == written);
    CheckLookups(hive, u"", 0);
    return 0;
}
