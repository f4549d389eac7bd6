// Range printing on both sides of the paper: by hand (for each compartment the even
// descriptions on the backs, then, the sheets turned, the odd ones on the faces) or on a
// duplex printer (each pair of a compartment's descriptions one two-sided job). Also
// the counts and the question that every range print asks first.
#pragma once

#include "printing/PrintRun.h"

#include <functional>

namespace dx {

// The compartments of a list, each once, in the order they first appear.
QVector<int> listCompartments(const QVector<RangeEntry> &entries);
// How many times the compartment changes down the list (the first row counts), which is
// how many sheets a one-sided run prints before its compartments.
int compartmentRuns(const QVector<RangeEntry> &entries);
// "Сигурни ли сте, че желаете да отпечатите N броя таксационни описания?"
QString printDescriptionsQuestion(int count);

// The prompts of manual two-sided printing; the answer is true for OK, false for Cancel.
using PromptAnswer = std::function<bool(const UserMessage &prompt)>;
UserMessage backPassPrompt(int otd, int rows);
UserMessage facePassPrompt(int otd, int rows);

// Manual two-sided printing of the compartments of `entries`, each compartment once with
// all its sub-compartments: its sheet (when asked) and its 2nd, 4th, ... descriptions
// after the back prompt, its 1st, 3rd, ... after the face prompt. Cancel in a prompt
// ends the run (result.cancelled); the stop flag is tested before every row.
PrintRunResult printManualTwoSided(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                                   PageSink &sink, const PrintRunOptions &options, const PromptAnswer &prompt);

// Duplex printing: the sink is set two-sided; for each compartment once, its sheet (when
// asked) as a job of its own, then its descriptions two by two, each pair one job of two
// pages (the first on the front, the second on the back); a last single description is a
// job alone, so compartments never share a sheet.
PrintRunResult printDuplex(AppState &state, DescriptionComposer &composer, const QVector<RangeEntry> &entries,
                           PageSink &sink, const PrintRunOptions &options);

} // namespace dx
