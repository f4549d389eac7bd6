// dBase tables (.dbf): read into memory, change in place, create.
#pragma once

#include "engine/common/TableFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dx::dbf {

// Reads the table. Text is decoded with options.codepage, else with the code page of
// the language driver byte, else CP1251. Deleted records are left out; record order is
// file order. Memo fields read as null. Throws EngineError naming the file and reason.
TableFilePtr read(const std::string &path, const OpenOptions &options = {});

// Creates a new table with these fields (Text: C of `width`; Integer: N(width,0);
// Real: N(width,decimals), or F when nativeType is 'F'; Logical: L; Date: D) holding
// `rows`, replacing any file of that name atomically. languageDriver 0xC9 = CP1251.
void create(const std::string &path, const std::vector<FieldDef> &fields,
            const std::vector<Row> &rows = {}, uint8_t languageDriver = 0xC9);

// Creates an empty table unless a file of that name is already there (checked and made
// under the table's lock, so that two programs starting together never make it twice
// and the second never empties what the first has written). True when it was made.
bool createIfMissing(const std::string &path, const std::vector<FieldDef> &fields, uint8_t languageDriver = 0xC9);

// The same, with the rows handed over one at a time (the caller need not hold them
// all): add() each row, then finish() writes the file. `expectedRows` only sizes the
// buffer. Nothing is written when finish() is never reached. Throws EngineError.
class Creator {
public:
    Creator(const std::string &path, const std::vector<FieldDef> &fields, uint8_t languageDriver = 0xC9,
            size_t expectedRows = 0);
    ~Creator();
    void add(const Row &row);
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Opens the table for changes (edit in place, append, mark deleted).
std::unique_ptr<TableWriter> openWriter(const std::string &path, const OpenOptions &options = {});

} // namespace dx::dbf
