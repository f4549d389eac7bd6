// A second (third, fourth) program for the concurrency tests: writes to one table or
// profile file through the same engine and core code as dendrix, from its own process.
//
//   race_writer append TABLE N TAG SEED       append N rows (TAG, I) through Table objects
//   race_writer edit TABLE FIRST LAST TAG SEED  set V=TAG-ID on the rows with ID in FIRST..LAST,
//                                              reading again and retrying when refused
//   race_writer profile FILE PREFIX N SEED     write keys PREFIX1..PREFIXn of [Race]
//   race_writer churn TABLE N TAG SEED          N times: append (ID, TAG-ID), remove the first row
//                                              (a Paradox table's blocks fill, empty and relink)
//   race_writer editor TABLE ROW FIELD N        N times: the database editor posts ROW's FIELD as
//                                              "e0", "e1", ... (cycling through e0..e9)
//   race_writer archive TABLE N                 N times: archive the table
//   race_writer restore TABLE N                 N times: restore the table from its archive
//
// Prints the number of refused edits; exit status 0 when every change was made.
#include "core/ProfileFile.h"
#include "core/DataPassword.h"
#include "maintenance/Archive.h"
#include "maintenance/TableEditor.h"

#include <QString>
#include "engine/common/EngineError.h"
#include "engine/sql/Database.h"
#include "engine/sql/Table.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

namespace {

std::mt19937 g_random;

// A short random pause, so that seeds give different interleavings.
void jitter()
{
    int us = std::uniform_int_distribution<int>(0, 1500)(g_random);
    if (us > 1000) std::this_thread::sleep_for(std::chrono::microseconds(us - 1000));
}

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

int churn(const std::string &path, int n, const std::string &tag, int seed)
{
    dx::Database db(folderOf(path));
    db.addPassword("race");
    for (int i = 1; i <= n; ++i) {
        const int id = seed * 100000 + i;
        dx::Table t(db);
        t.setPath(path);
        t.open();
        t.append();
        t.setValue("ID", dx::Value::fromInt(id));
        t.setValue("V", dx::Value::fromText(tag + "-" + std::to_string(id)));
        t.post();
        t.first();
        t.remove();
    }
    std::printf("0\n");
    return 0;
}

int append(const std::string &path, int n, const std::string &tag)
{
    dx::Database db(folderOf(path));
    for (int i = 1; i <= n; ++i) {
        dx::Table t(db);
        t.setPath(path);
        t.open();
        jitter();
        t.append();
        t.setValue("TAG", dx::Value::fromText(tag));
        t.setValue("I", dx::Value::fromInt(i));
        t.post();
    }
    std::printf("0\n");
    return 0;
}

int edit(const std::string &path, int first, int last, const std::string &tag)
{
    dx::Database db(folderOf(path));
    db.addPassword("race");
    int refused = 0;
    for (int id = first; id <= last; ++id) {
        for (int attempt = 0;; ++attempt) {
            dx::Table t(db);
            t.setPath(path);
            t.open();
            t.setFilter("ID=" + std::to_string(id));
            t.setFiltered(true);
            if (t.recordCount() != 1) {
                std::fprintf(stderr, "row %d not found\n", id);
                return 1;
            }
            t.edit();
            t.setValue("V", dx::Value::fromText(tag + "-" + std::to_string(id)));
            jitter(); // another program may change the table meanwhile
            try {
                t.post();
                break;
            } catch (const dx::StaleRecordError &) {
                ++refused;
                if (attempt > 1000) return 1;
            }
        }
    }
    std::printf("%d\n", refused);
    return 0;
}

int profile(const std::string &path, const std::string &prefix, int n)
{
    for (int i = 1; i <= n; ++i) {
        jitter();
        dx::writeProfileString(QString::fromStdString(path), "Race", QString::fromStdString(prefix + std::to_string(i)),
                               QString::number(i));
    }
    std::printf("0\n");
    return 0;
}

// The editor's post of one cell, over and over, each a whole record write.
int editorPosts(const std::string &path, size_t row, size_t field, int n)
{
    dx::Database db;
    db.addPassword(dx::dataPassword());
    dx::TableEditor editor(db);
    editor.open(path);
    for (int i = 0; i < n; ++i) {
        if (auto m = editor.setText(row, field, QStringLiteral("e%1").arg(i % 10))) {
            std::fprintf(stderr, "%s\n", m->text.toUtf8().constData());
            return 1;
        }
    }
    return 0;
}

int copies(const std::string &path, bool restore, int n)
{
    for (int i = 0; i < n; ++i) {
        if (restore) dx::restoreTable(QString::fromStdString(path));
        else dx::archiveTable(QString::fromStdString(path));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        const std::string cmd = argc > 1 ? argv[1] : "";
        if (cmd == "append" && argc == 6) {
            g_random.seed(unsigned(std::atoi(argv[5])));
            return append(argv[2], std::atoi(argv[3]), argv[4]);
        }
        if (cmd == "edit" && argc == 7) {
            g_random.seed(unsigned(std::atoi(argv[6])));
            return edit(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
        }
        if (cmd == "churn" && argc == 6) {
            g_random.seed(unsigned(std::atoi(argv[5])));
            return churn(argv[2], std::atoi(argv[3]), argv[4], std::atoi(argv[5]));
        }
        if (cmd == "profile" && argc == 6) {
            g_random.seed(unsigned(std::atoi(argv[5])));
            return profile(argv[2], argv[3], std::atoi(argv[4]));
        }
        if (cmd == "editor" && argc == 6)
            return editorPosts(argv[2], size_t(std::atoi(argv[3])), size_t(std::atoi(argv[4])), std::atoi(argv[5]));
        if ((cmd == "archive" || cmd == "restore") && argc == 4)
            return copies(argv[2], cmd == "restore", std::atoi(argv[3]));
        std::fprintf(stderr, "usage: race_writer append|edit|profile|churn|editor|archive|restore ...\n");
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
