// One libFuzzer target: FUZZ_TARGET names the entry it feeds.
#include "entries/FuzzEntries.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FuzzEntries::Entry entry() {
    for (const FuzzEntries::Target& target : FuzzEntries::kTargets)
        if (std::strcmp(target.name, FUZZ_TARGET) == 0)
            return target.entry;
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzEntries::Entry feed = entry();
    const QString wrong = feed(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", FUZZ_TARGET, wrong.toLocal8Bit().constData());
        std::abort(); // a finding, kept by libFuzzer as a crash
    }
    return 0;
}
