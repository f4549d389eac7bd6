// Fuzzes the legacy-SQL translation: any statement must either translate or throw
// EngineError. The table namer stands in for the table cache. Also checks that any
// text passed through quoteText() comes back as exactly one escaped literal.
#include "engine/common/EngineError.h"
#include "engine/sql/SqlTranslate.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string statement(reinterpret_cast<const char *>(data), size);
    try {
        std::string out = dx::sql::translate(statement, [](const std::string &file) {
            return "t_" + std::to_string(file.size());
        });
        (void)out;
    } catch (const dx::EngineError &) {
    }

    std::string expected = "SELECT '";
    for (char c : statement) expected += c == '\'' ? std::string("''") : std::string(1, c);
    expected += '\'';
    std::string quoted = dx::sql::translate("SELECT " + dx::sql::quoteText(statement),
                                            [](const std::string &) { return std::string("t"); });
    if (quoted != expected) std::abort();
    return 0;
}
