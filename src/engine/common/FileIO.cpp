// File reads, atomic writes and case-insensitive lookup, through std::filesystem and
// the platform file, so that nothing here is tied to one platform.
#include "engine/common/FileIO.h"

#include "engine/common/Codepage.h"
#include "engine/common/EngineError.h"
#include "engine/common/Platform.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace dx::io {

std::string notARegularFile(const std::string &path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) return "the file does not exist";
    if (ec) return "the file cannot be examined: " + ec.message();
    switch (st.type()) {
    case fs::file_type::regular: return {};
    case fs::file_type::directory: return "this is a folder, not a file";
    case fs::file_type::fifo: return "this is a named pipe, not a file";
    case fs::file_type::block:
    case fs::file_type::character: return "this is a device, not a file";
    case fs::file_type::socket: return "this is a socket, not a file";
    default: return "this is not a regular file";
    }
}

std::string readFile(const std::string &path, uint64_t maxSize)
{
    if (std::string why = notARegularFile(path); !why.empty()) throw EngineError(path, why);
    std::error_code ec;
    const uintmax_t length = fs::file_size(path, ec);
    if (!ec && length > maxSize)
        throw EngineError(path, "the file is " + std::to_string(length) + " bytes long, more than the " +
                                    std::to_string(maxSize) + " bytes such a file can have");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EngineError(path, "the file cannot be opened for reading");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) throw EngineError(path, "the file cannot be read");
    if (static_cast<uint64_t>(size) > maxSize) throw EngineError(path, "the file grew beyond its limit while it was read");
    in.seekg(0, std::ios::beg);
    std::string data(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(data.data(), size)) throw EngineError(path, "the file cannot be read");
    return data;
}

std::string readHead(const std::string &path, size_t count)
{
    if (std::string why = notARegularFile(path); !why.empty()) throw EngineError(path, why);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EngineError(path, "the file cannot be opened for reading");
    std::string data(count, '\0');
    in.read(data.data(), std::streamsize(count));
    if (in.bad()) throw EngineError(path, "the file cannot be read");
    data.resize(size_t(in.gcount()));
    return data;
}

void writeFileAtomic(const std::string &path, const std::string &data)
{
    platform::replaceFile(path, data);
}

Stamp stamp(const std::string &path)
{
    std::error_code ec;
    Stamp s;
    auto size = fs::file_size(path, ec);
    if (ec) return s;
    auto t = fs::last_write_time(path, ec);
    s.size = static_cast<int64_t>(size);
    if (!ec)
        s.mtimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    return s;
}

bool exists(const std::string &path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

bool isDirectory(const std::string &path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string resolve(const std::string &base, const std::string &path)
{
    std::string p = path;
    for (char &c : p)
        if (c == '\\') c = '/';
    std::vector<std::string> parts;
    std::string cur;
    for (char c : p) {
        if (c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);

    std::string result;
    if (!p.empty() && p[0] == '/') result = "/";
    else if (p.size() > 1 && p[1] == ':') result = ""; // drive path: take as given
    else result = base.empty() ? "." : base;

    bool found = true;
    for (const auto &part : parts) {
        std::string next = result.empty() ? part : (result.back() == '/' ? result + part : result + "/" + part);
        if (found && !exists(next)) {
            // Look for a name that differs only in letter case.
            std::string want = cp::foldCase(part);
            std::string match;
            std::error_code ec;
            for (fs::directory_iterator it(result.empty() ? "." : result, ec), end; !ec && it != end; it.increment(ec)) {
                std::string name = it->path().filename().string();
                if (cp::foldCase(name) == want) {
                    match = name;
                    break;
                }
            }
            if (!match.empty()) next = result.back() == '/' ? result + match : result + "/" + match;
            else found = false;
        }
        result = next;
    }
    return result;
}

} // namespace dx::io
