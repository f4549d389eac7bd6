// A page sink that records the jobs a print loop hands it: each job's pages by their
// report titles, whether the job was two-sided and how many copies it asks for; it can
// refuse a page, or lose a whole job at its end, as a printer that vanishes does.
#pragma once

#include "printing/Report.h"

#include <QStringList>

#include <functional>

namespace dxtest {

class RecordingSink : public dx::PageSink {
public:
    struct Job {
        QStringList pages;
        bool twoSided = false;
        int copies = 0;  // of the job's first report
    };
    void beginJob(const QString &) override { jobs.push_back({{}, twoSided_}); }
    bool addReport(const dx::Report &r) override
    {
        if (failAt >= 0 && pageCount() == failAt) return false;
        if (jobs.back().pages.isEmpty()) jobs.back().copies = r.copies();
        jobs.back().pages << r.title;
        if (onPage) onPage();
        return true;
    }
    bool endJob() override { return loseJob != int(jobs.size()) - 1; }
    void setTwoSided(bool on) override { twoSided_ = on; }

    int pageCount() const
    {
        int n = 0;
        for (const Job &j : jobs) n += int(j.pages.size());
        return n;
    }
    // The jobs as "a|b" per job, "*" before a two-sided one.
    QStringList shape(const std::function<QString(const QString &)> &shorten) const
    {
        QStringList out;
        for (const Job &j : jobs) {
            QStringList p;
            for (const QString &t : j.pages) p << shorten(t);
            out << (j.twoSided ? QStringLiteral("*") : QString()) + p.join(QLatin1Char('|'));
        }
        return out;
    }

    QList<Job> jobs;
    int failAt = -1;  // the page number (0-based) the sink refuses
    int loseJob = -1; // the job (0-based) that never reaches the printer
    std::function<void()> onPage;

private:
    bool twoSided_ = false;
};

// The printer's sink of one run, handing its jobs to a recorder that outlives the run.
class ForwardingSink : public dx::PageSink {
public:
    explicit ForwardingSink(RecordingSink &to) : to_(to) {}
    void beginJob(const QString &title) override { to_.beginJob(title); }
    bool addReport(const dx::Report &r) override { return to_.addReport(r); }
    bool endJob() override { return to_.endJob(); }
    void setTwoSided(bool on) override { to_.setTwoSided(on); }

private:
    RecordingSink &to_;
};

// "Dendrix - ДГС Тест 2020 [12:б]" -> "12:б".
inline QString bracketed(const QString &title)
{
    const qsizetype a = title.lastIndexOf(QLatin1Char('['));
    return a < 0 ? title : title.mid(a + 1).chopped(1);
}

} // namespace dxtest
