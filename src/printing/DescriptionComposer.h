// The printed taxation description of one sub-compartment: the composer that turns the
// record into the texts of every region and the rows of the composition table, and the
// description report that places them on one A4 page. The printed table differs from the
// screen's: every volume with branches has at least 1 m³ of branch wood, the totals row's
// stock is cut to tens from 51 on, empty cells read "- " and numbers end in a blank.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "description/CurrentComposition.h"
#include "printing/Report.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace dx {

// The texts of the description's regions, named as the report names them.
struct PrintedDescription {
    QString title;          // document title "Dendrix - NAME YEAR [OTD:PODOTD]"
    QString podotd;         // QRLPodotd
    QString dlGtu;          // QRLDL_GTU
    QString vidPod;         // QRLVidPod
    QString area;           // QRLArea
    QString sk, zem, vg, funk, sob, shema;  // QRL_SK, QRL_ZEM, QRL_VG, QRL_FUNK, QRL_SOB, QRL_SHEMA
    QString polojenie, soil, tm, obs;        // QRM_POLOJENIE, QRM_SOIL, QRL_TM, QRM_OBS
    QString vs, zal, nas, pp;                // QRL_VS, QRM_ZAL, QRL_NAS, QRL_PP
    QVector<CompositionRow> rows;            // the composition table, the totals row last
    QStringList damages;                     // QRM_POVR, one line per distinct damage
};

// The warning for a pair that names no single record.
UserMessage missingSubCompartmentMessage();

// Composes the description of a sub-compartment. Nothing when the pair names no single
// record (the warning is passed to `report`). The project table is left closed and
// unfiltered either way. Failing damage lookups are passed to `report` and the damage
// line keeps what was decoded. Throws EngineError when the project table cannot be opened.
std::optional<PrintedDescription> composeDescription(AppState &state, int otd, const QString &podotd,
                                                     const std::function<void(const UserMessage &)> &report);

// How the description is printed: the "с клони" columns, and the width of the record
// grids' rules (1, or 4 for paper from the print paths that ask for it).
struct DescriptionLayout {
    bool withBranches = false;
    int footerLineWidth = 1;
};

// The description report: one page (more only when the margins leave no room for the
// composition table).
Report descriptionReport(const PrintedDescription &d, const PageSettings &page, const DescriptionLayout &layout,
                         const QString &contactLine);

// The composer with its state kept between calls, as every print path uses it: the
// composed flag, the with-branches option and the footer line width.
class DescriptionComposer {
public:
    explicit DescriptionComposer(AppState &state) : state_(state) {}

    // Composes the pair into the report; the flag tells the outcome. A failed composition
    // keeps the previous report.
    bool compose(int otd, const QString &podotd, const std::function<void(const UserMessage &)> &report);
    bool composed() const { return composed_; }
    const Report &report() const { return report_; }
    const PrintedDescription &description() const { return description_; }

    bool withBranches() const { return layout_.withBranches; }
    void setWithBranches(bool on);
    int footerLineWidth() const { return layout_.footerLineWidth; }
    void setFooterLineWidth(int width);

private:
    void rebuild();

    AppState &state_;
    DescriptionLayout layout_;
    PrintedDescription description_;
    Report report_;
    bool composed_ = false;
    bool hasDescription_ = false;
};

} // namespace dx
