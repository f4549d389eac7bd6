// The ownership choice (all kinds or one kind of ownership, and the purpose) and the texts
// built from it: the filter appended to record filters, the same for SQL statements, the
// description shown in status bars and headings, and the project heading. The ownership
// window sets the choice; the forest fund reports, the lists and the physico-geographic
// tables read the texts as last built. The kind is always written as a quoted constant,
// so no text of it can end the constant early.
#pragma once

#include <QString>

#include <optional>

namespace dx {

enum class Purpose { General, Economic, Special };

// The designation that marks the economic purpose; every other NZN1 is the special one.
inline const QString kEconomicDesignation = QStringLiteral("дървопроизв.и средообр");

struct OwnershipChoice {
    bool byKind = false;  // "Вид собственост" selected, else "Всички видове"
    QString kind;         // the combo's text, used only with byKind
    Purpose purpose = Purpose::General;
};

struct OwnershipFilter {
    QString recordFilter;    // " and NZN2='...' and NZN1='...'" or empty
    QString sqlFilter;       // the same with double-quoted constants
    QString description;     // " собственост: ..., предназначение: ..."
    QString projectHeading;  // unit name, " ", year, "г."

    // The description without its leading blank, as headings and printed pages write it:
    // "собственост: всички видове, предназначение: стопанско+специално".
    QString ownershipLine() const { return description.mid(1); }
};

// The four texts of a choice; `unitName` and `year` are the current project's.
OwnershipFilter buildOwnershipFilter(const OwnershipChoice &choice, const QString &unitName, const QString &year);

// The record filter of a choice on its own: the record filter text without its leading
// " and "; empty for all kinds and the general purpose.
QString ownershipRecordCondition(const OwnershipChoice &choice);

// The ownership condition of the second forest fund report's statements: " WHERE NZN2=..."
// and the purpose condition joined by "and", or " WHERE" + the purpose condition alone,
// or empty for all kinds and the general purpose.
QString ownershipWhere(const OwnershipChoice &choice);
// The same as further conditions of a statement that already has its WHERE: every part
// begins with " and".
QString ownershipAnd(const OwnershipChoice &choice);

// The purpose named on the command line ("general", "economic", "special").
std::optional<Purpose> purposeFromName(const QString &name);

// Why an ownership kind typed by the user can never match a stored NZN2 (the table keeps
// no trailing blanks and only code page 1251 letters); empty when it can.
QString ownershipKindProblem(const QString &kind);

// The ownership state the windows share: the mode the choice window was opened in (whose
// job its "Ok" runs), the choice as last confirmed and the texts built from it.
struct OwnershipState {
    enum Mode { ForestFund1 = 1, ForestFund2 = 2, Tables = 10 };
    int mode = ForestFund1;
    OwnershipChoice choice;
    OwnershipFilter filter;
};

} // namespace dx
