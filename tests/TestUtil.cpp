#include "TestUtil.h"

#include <filesystem>
#include <random>

namespace dxtest {

TempDir::TempDir()
{
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto p = base / ("dxtest-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p.string();
            break;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string realFixture(const std::string &relative)
{
    return std::string(DX_FIXTURES_REAL) + "/" + relative;
}

} // namespace dxtest
