// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to everything that reads a record file: the bounded read, the
// Windows-1252 decoding and the best-score number rule. Whatever the bytes, nothing may crash,
// hang or hand back more than the bound, and a file read and written again keeps its bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/host.h"
#include "app/runtime_error.h"
#include "record/best_score.h"
#include "record/record_store.h"
#include "record/text_encoding.h"

namespace {

// A host with one file in it: just enough for the record reader.
class OneFileHost : public zanfiro::Host {
public:
    explicit OneFileHost(std::string bytes) : m_bytes(std::move(bytes)) { }
    int msgBox(const std::string&, int, const std::string&) override { return zanfiro::answer::ok; }
    std::string inputBox(const std::string&, const std::string&) override { return {}; }
    void playWave(const std::string&) override { }
    std::string programDir() override { return "/prog"; }
    std::string recordDir() override { return "/records/"; }
    zanfiro::FileKind fileKind(const std::string&) override { return zanfiro::FileKind::Regular; }
    void touchAppend(const std::string&) override { }
    std::string readBytes(const std::string&, std::size_t maxBytes, std::uint64_t* fileSize) override
    {
        if (fileSize)
            *fileSize = m_bytes.size();
        return m_bytes.substr(0, maxBytes);
    }
    zanfiro::FileKind entryKind(const std::string&) override { return zanfiro::FileKind::Missing; }
    std::vector<std::string> folderEntries(const std::string&) override { return {}; }
    std::string stageFile(const std::string& target, const std::string&) override { return target + ".new.1"; }
    void createFile(const std::string&, const std::string&) override { }
    std::string readOwnFile(const std::string&) override { return {}; }
    void appendBytes(const std::string&, const std::string&) override { }
    void underRecordLock(const std::string&, const std::function<void()>& step) override { step(); }
    bool gameLogOn() override { return false; }
    void replaceFile(const std::string&, const std::string&) override { }
    void removeFile(const std::string&) override { }
    double systemTimer() override { return 0; }
    void holdFrame(int) override { }
    void windowUnloaded() override { }
    void windowShown() override { }
    [[noreturn]] void endProgram(int) override { std::abort(); }

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
