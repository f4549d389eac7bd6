// Paradox tables (.db): read into memory (encrypted ones included), change, create.
#pragma once

#include "engine/common/TableFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dx::px {

// Reads the table: data blocks in chain order, records in block order. A protected table
// needs its password: the known passwords are tried first, then options.onPassword is
// asked; a missing or wrong password throws PasswordError. Text is decoded with
// options.codepage, else the header's code page, else CP1251. Memo and blob fields read
// as null (their .MB file is never opened). Null cells (all-zero bytes) read as null.
// Throws EngineError naming the file and the reason.
TableFilePtr read(const std::string &path, const OpenOptions &options = {});

struct CreateOptions {
    std::string password;   // empty: not protected
    int codepage = 1251;    // written to the header
    int blockSizeKb = 4;    // 1, 2, 3, 4, 16 or 32
    uint32_t stamp = 0;     // the header's time stamp; 0 for the time of creation
};

// Creates a new non-indexed table (Paradox 7 format) with these fields (Text: Alpha of
// `width`; Integer: Long, or Short when nativeType is 0x03; Real: Number; Logical;
// Date) holding `rows`, replacing any file of that name atomically.
void create(const std::string &path, const std::vector<FieldDef> &fields,
            const std::vector<Row> &rows = {}, const CreateOptions &options = {});

// The same, with the rows handed over one at a time (the caller need not hold them
// all): add() each row, then finish() writes the file. `expectedRows` only sizes the
// buffer. Nothing is written when finish() is never reached. Throws EngineError.
class Creator {
public:
    Creator(const std::string &path, const std::vector<FieldDef> &fields, const CreateOptions &options = {},
            size_t expectedRows = 0);
    ~Creator();
    void add(const Row &row);
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Opens the table for changes; the password rules are those of read().
std::unique_ptr<TableWriter> openWriter(const std::string &path, const OpenOptions &options = {});

} // namespace dx::px
