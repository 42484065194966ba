// The per-user store: any bytes are read without harm, and values written
// through the parser read back exactly, whatever bytes they hold. The store
// is held in memory: the same parser and writer as on the disk.

#include "FuzzScratch.h"
#include "core/UserStore.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

using fuzz::check;

namespace {

const char *const kKey = "Software\\Tolvek\\Corvane\\Settings";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    UserStore store(MemoryFile{bytes});
    for (const std::string &name : store.valueNames(kKey)) {
        (void)store.readString(kKey, name);
        (void)store.readDword(kKey, name);
    }

    if (!fuzz::writesToo(size))
        return 0;

    // The input split into a value name and a value: any bytes round-trip.
    const std::size_t half = bytes.size() / 2;
    const std::string name = bytes.substr(0, std::min<std::size_t>(half, 32));
    const std::string value = bytes.substr(half);
    check(store.writeString(kKey, name, value));
    check(store.readString(kKey, name) == value);
    check(UserStore(MemoryFile{store.contents()}).readString(kKey, name) == value);

    check(store.writeDword(kKey, name, int(size)));
    check(UserStore(MemoryFile{store.contents()}).readDword(kKey, name) == int(size));

    check(store.deleteKey("Software\\Tolvek"));
    check(!store.keyExists(kKey));
    check(!UserStore(MemoryFile{store.contents()}).readDword(kKey, name).has_value());
    return 0;
}
