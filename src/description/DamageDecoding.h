// The wording of a damage code (POVR1..POVR11): a short text of digits and Cyrillic
// letters, each character examined by itself. The composition page explains a clicked
// code with it and printing writes it out.
#pragma once

#include "core/AppState.h"
#include "core/UserMessage.h"
#include "description/Nomenclature.h"

#include <QString>

#include <functional>

namespace dx {

// Decodes a damage code; blanks around it are ignored, positions count from 1.
// A code with exactly three digits gives the kinds of damage (the letters' wordings,
// "обезлистване" when there is none) followed by the degrees: a digit v > 0 in
// position 1, 2 or 3 is "леко", "силно" or "загиващи" v×10 %.
// Any other code is read left to right: a first character л, с, з/н or / gives the
// state of the trees, digits give percentages (1 followed by 0: "100%"), later letters
// their wording ("освен това" before the second kind of damage).
// `lookup` gives the wording of one letter. A lookup that fails is passed to
// `onFailure` and the decoding goes on with the next character; an unknown letter is
// worded "неизвестна повреда (letter)".
QString decodeDamage(const QString &code, const std::function<DamageWording(const QString &letter)> &lookup,
                     const std::function<void(const DamageWording &)> &onFailure = {});

// The same with the letters looked up in the program directory's nomenclature; a
// failing lookup is reported as the error box of the damage list (the nomenclature
// path in its text) and the decoding goes on.
QString decodeDamage(AppState &state, const QString &code, const std::function<void(const UserMessage &)> &report);

} // namespace dx
