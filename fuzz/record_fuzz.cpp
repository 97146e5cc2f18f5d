// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to everything that reads a record file: the bounded read, the
// Windows-1252 decoding and the best-score number rule. Whatever the bytes, nothing may crash,
// hang or hand back more than the bound, and a file read and written again keeps its bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/runtime_error.h"
#include "bench/quiet_host.h"
#include "record/best_score.h"
#include "record/record_store.h"
#include "record/text_encoding.h"

namespace {

// A host with one file in it: just enough for the record reader.
class OneFileHost : public zanfiro::bench::QuietHost {
public:
    explicit OneFileHost(std::string bytes) : m_bytes(std::move(bytes)) { }
    zanfiro::FileKind fileKind(const std::string&) override { return zanfiro::FileKind::Regular; }
    std::string readBytes(const std::string&, std::size_t maxBytes, std::uint64_t* fileSize) override
    {
        if (fileSize)
            *fileSize = m_bytes.size();
        return m_bytes.substr(0, maxBytes);
    }

private:
    std::string m_bytes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string text = zanfiro::decodeWindows1252(bytes);
    if (zanfiro::encodeWindows1252(text) != bytes)
        std::abort(); // read and written again, a record keeps its bytes

    const double best = zanfiro::scoreValue(text);
    if (std::isnan(best))
        std::abort();
    (void)zanfiro::scoreValue(bytes);
    (void)zanfiro::encodeWindows1252(bytes); // malformed UTF-8 must be harmless too

    OneFileHost host(bytes);
    const std::string shown = zanfiro::readRecordText(host, "/records//azanfiro.txt");
    const std::string bound = zanfiro::decodeWindows1252(bytes.substr(0, zanfiro::recordShownBytes));
    if (shown != bound)
        std::abort();
    return 0;
}
